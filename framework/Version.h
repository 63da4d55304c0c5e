// The program's version numbers as the application object reports them.
#pragma once

#if __has_include("corvane_version.h")
#include "corvane_version.h"
#endif

#ifndef CORVANE_VERSION_MAJOR
#define CORVANE_VERSION_MAJOR 1
#define CORVANE_VERSION_MINOR 0
#define CORVANE_VERSION_PATCH 0
#endif
