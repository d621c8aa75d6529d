#pragma once
// The program's version: the one place it is written. The version resource,
// the About box, the settings file and the release's name all read it from
// here (CMakeLists.txt and scripts/package read these three lines).

#define QORVEL_VERSION_MAJOR 1
#define QORVEL_VERSION_MINOR 2
#define QORVEL_VERSION_PATCH 4

#define QORVEL_STRINGIZE(text) #text
#define QORVEL_VERSION_JOIN(major, minor, patch) QORVEL_STRINGIZE(major.minor.patch)
#define QORVEL_VERSION_TEXT QORVEL_VERSION_JOIN(QORVEL_VERSION_MAJOR, QORVEL_VERSION_MINOR, QORVEL_VERSION_PATCH)
#define QORVEL_WIDEN(text) L"" text
#define QORVEL_VERSION_WTEXT QORVEL_WIDEN(QORVEL_VERSION_TEXT)
#define QORVEL_PRODUCT_NAME "Qorvel Indicator"
