#pragma once
#include "high/Top.h"
