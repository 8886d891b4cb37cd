#pragma once

// Left directly in ui/: belongs in one of its folders.
