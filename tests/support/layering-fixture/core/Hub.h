#pragma once

#include "library/Store.h"
// clang-format off
  #  include "ui/editor/Window.h"
// clang-format on
