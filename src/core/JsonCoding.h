#pragma once
// The engine's name for the JSON codec of the stored forms, which lives with the other file formats in the
// platform layer.

#include "platform/JsonCodec.h"

namespace JsonCoding = JsonCodec;
