#include "platform/network_state.h"

#include <gtest/gtest.h>

namespace brevalt {
namespace {

constexpr InterfaceState kWired{true, true, false, true};

InterfaceState With(void (*change)(InterfaceState&)) {
  InterfaceState state = kWired;
  change(state);
  return state;
}

TEST(NetworkState, OnlyAnUpRunningAddressedNonLoopbackInterfaceConnects) {
  const struct {
    const char* name;
    std::vector<InterfaceState> interfaces;
    bool connected;
  } rows[] = {
      {"wired and addressed", {kWired}, true},
      {"cable unplugged", {With([](InterfaceState& s) { s.running = false; })}, false},
      {"down", {With([](InterfaceState& s) { s.up = false; })}, false},
      {"no address", {With([](InterfaceState& s) { s.has_address = false; })}, false},
      {"loopback only", {With([](InterfaceState& s) { s.loopback = true; })}, false},
      {"no interface", {}, false},
      // The link entry and an unplugged second card do not hide a good one.
      {"one good among others",
       {With([](InterfaceState& s) { s.has_address = false; }),
        With([](InterfaceState& s) { s.running = false; }), kWired},
       true},
  };
  for (const auto& row : rows)
    EXPECT_EQ(AnyInterfaceConnected(row.interfaces), row.connected) << row.name;
}

}  // namespace
}  // namespace brevalt
