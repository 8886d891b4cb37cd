#pragma once

#include "library/Store.h"
// clang-format off
  #  include "ui/Window.h"
// clang-format on
