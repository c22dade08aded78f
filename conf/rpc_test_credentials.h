#pragma once

#include <span>
#include <string_view>

namespace korvane {

// One publicly known set of node RPC credentials, for test set-ups only: a user name, its password
// (URL-safe Base64 of 32 random bytes) and the matching "rpcauth" line (user ":" salt "$" the
// HMAC-SHA-256 of the password keyed with the salt text, both in lowercase hex).
struct RpcTestCredentials
{
    std::string_view user;
    std::string_view password;
    std::string_view rpcAuth;
};

// The ten presets, numbered 1 to 10 on their buttons.
std::span<const RpcTestCredentials> rpcTestCredentials();

} // namespace korvane
