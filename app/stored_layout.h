// The main window's stored description, TLTFRM, compiled into the program (format: see
// framework/stored/reader.h).
#pragma once

#include <string_view>

std::string_view StoredDescriptionTLTFRM();
