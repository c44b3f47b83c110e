// tests/DibTestResources.h
#pragma once

// 9100 plus the depth.
#define IDB_TEST_DEPTH1   9101
#define IDB_TEST_DEPTH4   9104
#define IDB_TEST_DEPTH8   9108
#define IDB_TEST_DEPTH16  9116
#define IDB_TEST_DEPTH24  9124
#define IDB_TEST_DEPTH32  9132
