#include "platform/Preferences.h"
