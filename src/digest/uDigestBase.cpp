#include "digest/uDigestBase.h"

#include "digest/uDigestUtils.h"

#include <cstring>

void FillBytes(void* X, std::int32_t Count, std::uint8_t Value)
{
    if (Count <= 0)
        return;
    if (Value == 0)
        DigestUtils::Wipe(X, std::size_t(Count));
    else
        std::memset(X, Value, std::size_t(Count));
}

void TDigestHash::UpdateString(std::string_view Str)
{
    // An empty string passes no address.
    Update(Str.empty() ? nullptr : Str.data(), Str.size());
}
