#pragma once
// COM-lite: the parts of COM the system uses, on Linux.

#include "ComBase.h"
#include "ComBstr.h"
#include "ComError.h"
#include "ComPtr.h"
#include "ComRuntime.h"
#include "ComServer.h"
#include "ComVariant.h"
