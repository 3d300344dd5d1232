#pragma once

#include "sandboxhttprequest.h"

#include <QString>

// The query parameters eBay's endpoints take from the program, by the sandbox's endpoint names. A parameter the
// sandbox does not know is refused with 400, so that a misspelt parameter of the program's fails its tests
// instead of being ignored as eBay would. Owned by the sandbox's server, which asks before every eBay request.
namespace SandboxParameters {
// The first query parameter of the request that its endpoint does not take; empty when all are known or the
// endpoint's parameters are not checked.
QString unknown(const SandboxHttpRequest& request, const QString& endpoint);
} // namespace SandboxParameters
