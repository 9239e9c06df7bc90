// FixClient's output queue: one string and the offset already sent, compacted when half used.
#include "app/net/FixClient.h"

#include <algorithm>

namespace pelmora::net {

void FixClient::Queue(std::string_view bytes) {
  if (dropped_) return;
  if (out_.size() - sent_ + bytes.size() > kMaxQueued) {
    dropped_ = true;
    overflowed_ = true;
    return;
  }
  out_.append(bytes);
}

void FixClient::Sent(std::size_t n) {
  sent_ += std::min(n, out_.size() - sent_);
  if (sent_ == out_.size()) {
    out_.clear();
    sent_ = 0;
  } else if (sent_ > out_.size() / 2) {
    out_.erase(0, sent_);
    sent_ = 0;
  }
}

}  // namespace pelmora::net
