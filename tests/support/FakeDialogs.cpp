// FakeDialogs is header-only; this unit keeps the support library's file list uniform.
#include "tests/support/FakeDialogs.h"
