// The control library's string resources: the captions of the edit's context menu, by identifier.
#pragma once

#include <cstdint>
#include <string>

constexpr std::uint16_t kSEditUndo = 62597;
constexpr std::uint16_t kSEditCut = 62596;
constexpr std::uint16_t kSEditCopy = 62595;
constexpr std::uint16_t kSEditPaste = 62594;
constexpr std::uint16_t kSEditDelete = 62599;
constexpr std::uint16_t kSEditSelectAll = 62598;

// The text of a string resource; empty for an identifier the library does not have.
std::string LcLoadResString(std::uint16_t id);
