#include "conf/rpc_test_credentials.h"

#include <array>

namespace korvane {
namespace {

// Generated once with a random password and salt per user; the salts differ in length on purpose.
constexpr std::array kPresets {
    RpcTestCredentials { "CRYPTO_MOONSHOT", "FlYErbW5rcxBFUAV4rJPJZUOI66SejyQ0Modfxe0fzg=",
                         "CRYPTO_MOONSHOT:a574ebcaeec7eaa77e45bde4fff0a7$"
                         "44f38a2637f37337ec93d5c30e68eeea0580f9b7cf8cc9b92806c21272aa4b50" },
    RpcTestCredentials { "BULLS_GO_LONG", "X7qQZXNlhHO9A0UQHEZQERcy4UgnKmElLe9361TY0pk=",
                         "BULLS_GO_LONG:fb972e5c373c54e0c182056855e30aa1$"
                         "139c4fb92097e31320459423fe20e43923a325b47ea0c570e4bb30342d0f091a" },
    RpcTestCredentials { "BEARS_GO_SHORT", "POMiDR6OZhwQUe_E8ucsSe2n5mRbOD2kAStxLI2Ygh0=",
                         "BEARS_GO_SHORT:de5fc435cb39e3c8a1fe5141c8a8de$"
                         "9d8ee616eb42635ea9af34ea7e59796242e88126b57d117ce957a4e476b3e883" },
    RpcTestCredentials { "GENESIS_BLOCKERS", "UI0mem6ZvoarrMZuxnEP8KOIM97xvGd8Br1NT_K2EsA=",
                         "GENESIS_BLOCKERS:bf851ab6870080f476dcaeab44663047$"
                         "87502c666f51408d1836d9a0875ee8d72e485eddf706d36c53c667ad6df2e924" },
    RpcTestCredentials { "BITCOIN_IS_KING", "SCepflp1bxZezXc7rTEe9hlmJPGOymq16-Fl1HI86bE=",
                         "BITCOIN_IS_KING:7ed3ac969119abdd84aff473d3b04da6$"
                         "e9e7daca60a29785d0c64aea596a08561efad6a007e1f9c9c77e356c5f32f018" },
    RpcTestCredentials { "BITCONNECT_LIVES_ON", "24crba2uKjLb3KaiXKw4Xr38cwofRuOI80SxoXa2RtM=",
                         "BITCONNECT_LIVES_ON:1ae57980dfc91e13bcad1e291ac321f5$"
                         "dba4e5366ad2006c4b62e196becaf02598ae3300add0b2bd86c7faa8de011b70" },
    RpcTestCredentials { "CRYPTO_TO_INFINITY", "c_Eci8Xv1Dchi6EkaU-ZYuskdQBP0mz1wIHEtmShaww=",
                         "CRYPTO_TO_INFINITY:c5eba694599584f93c9d55fcc70e36f$"
                         "f9eb8415fabd915f6d207f8c767bcb4c72780a7f9968f0bc590b4b972c88fdec" },
    RpcTestCredentials { "CRYPTO_ALWAYS", "vK7oBpf-JlH-snm1Ztxt5SU0kp9KF6TpxaLyebp7xkg=",
                         "CRYPTO_ALWAYS:c5528e19d55c5cf48617013c267edf7$"
                         "53c3b1cb5b173bab2bbebff7ffea33152d94afc72423c87ff23c1345044dd00b" },
    RpcTestCredentials { "IM_ALL_IN", "AIain0wHgFUXP9NUy6wmcJFmTbo3pLTS0SrhFbOXvTQ=",
                         "IM_ALL_IN:56675a20a10d3a22adee3b3257832d$"
                         "f66651b60c806f49b4882a9ecefaf31303e7c2dfa26c2290b2ea0ff1fcf26fe9" },
    RpcTestCredentials { "HODL_HODL_HODL", "NByj8z2djwgp9gBI1tTIeY75ZGc7spZC0tQHDCiUm7Q=",
                         "HODL_HODL_HODL:217db1c3cdb707077e443d205f71871a$"
                         "325b5d9d5503ea6fe9252992a816bd7458fa52dc9085544e31bf6fb8343b07ef" },
};

} // namespace

std::span<const RpcTestCredentials> rpcTestCredentials()
{
    return kPresets;
}

} // namespace korvane
