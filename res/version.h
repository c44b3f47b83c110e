// res/version.h
//
// The one place the program's version is written; the version resource and the release
// name are both made from it.
#pragma once

#define AUTOVANE_VERSION_BINARY 1,0,6,0
#define AUTOVANE_VERSION_TEXT "1.06"
