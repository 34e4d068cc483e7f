#pragma once
// The client side of local-server activation (see platform/com/local_server.h):
// after InstallLocalServerClient, CoCreateInstance with CLSCTX_LOCAL_SERVER
// starts the class's registered program and hands out a proxy of the object
// it makes. Tests that play an automation client call it first.

namespace kp::testing {
void InstallLocalServerClient();
}  // namespace kp::testing
