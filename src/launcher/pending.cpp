// HttpRequest lands with its own branch.
#include "net/http_request.h"

namespace net {
text::ByteString HttpRequest(std::string_view, const HttpRequestOptions&, const HttpResponseOutputs&) {
  return {};
}
}  // namespace net
