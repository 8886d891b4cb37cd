#pragma once

#include "midi/deep/Sender.h"
