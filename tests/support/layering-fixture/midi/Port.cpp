#include "instrument/Model.h"
#include "midi/deep/Sender.h"
