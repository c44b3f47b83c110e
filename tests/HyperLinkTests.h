// tests/HyperLinkTests.h
//
// Identifiers of the link tests' own resources (tests/HyperLinkTests.rc).
#pragma once

#define IDD_LINK_TEST           9100

#define IDC_LINK_LEFT           9101
#define IDC_LINK_RIGHT          9102
#define IDC_LINK_CENTER         9103
#define IDC_LINK_CENTERIMAGE    9104
#define IDC_OTHER               9106
