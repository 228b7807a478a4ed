#include "foundation/QelException.h"

#include "foundation/Log.h"

namespace qv {

QelException::QelException(const std::string& message) : Exception(message) { Log::Write(message); }

}  // namespace qv
