// tests/HyperLinkTests.h
//
// Identifiers of the link tests' own resources (tests/HyperLinkTests.rc).
#pragma once

#define IDD_LINK_TEST           9100
#define IDD_LINK_NOFONT         9110

#define IDC_LINK_LEFT           9101
#define IDC_LINK_RIGHT          9102
#define IDC_LINK_CENTER         9103
#define IDC_LINK_CENTERIMAGE    9104
#define IDC_LINK_EMPTY          9105
#define IDC_OTHER               9106
#define IDC_PLAIN_LABEL         9107

// The cursor a stand-in help viewer offers as its hand.
#define IDC_TEST_HAND           106
