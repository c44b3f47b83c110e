// tests/BackgroundTestResources.h
#pragma once

// 40 x 40, 24 bits: the pixel at column x, row y (from the top) is RGB(6x, 6y, 128), so a
// drawn pixel tells which source pixel landed there.
#define IDB_TEST_GRADIENT   9200
#define IDB_TEST_PALETTE    9201
#define IDD_TEST_BACKGROUND 9210
#define IDD_TEST_SHORT      9217
#define IDC_TEST_BUTTON     9211
#define IDC_TEST_STATIC     9212
#define IDC_TEST_EDIT       9213
#define IDC_TEST_TRACKBAR   9216
