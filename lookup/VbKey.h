#pragma once

// The VB key codes the lookup forms act on (the windows translate Qt's keys into these).
namespace lookup::vbkey {

constexpr int Backspace = 8;
constexpr int Enter = 13;
constexpr int Space = 32;
constexpr int PageUp = 33;
constexpr int PageDown = 34;
constexpr int Up = 38;
constexpr int Down = 40;
constexpr int Insert = 45;
constexpr int Delete = 46;
constexpr int F5 = 116;
constexpr int F12 = 123;
constexpr int ShiftState = 1; // the shift argument with Shift alone

// Keys that send the operator from a search box to the list (or the tree).
constexpr bool goesToList(int key) { return key == Down || key == Up || key == PageDown || key == PageUp; }
// Keys a search box acts on itself: F5 and the ones above.
constexpr bool isBoxKey(int key) { return key == F5 || goesToList(key); }

} // namespace lookup::vbkey
