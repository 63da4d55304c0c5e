#pragma once

#include "../wingdi.h"
