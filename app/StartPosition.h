// The receiver's start position for the next run: the last position read in Live mode whose
// validity bit was set. None before the first such fix, so that quitting before one keeps the
// stored position; a replayed log's positions never count. Portable.
#pragma once

#include <optional>

#include "app/EpochFeed.h"
#include "app/ui/Form.h"

namespace pelmora {

struct LatLon {
  double latitude = 0;  // degrees
  double longitude = 0;
};

class StartPositionMemory final : public EpochConsumer {
 public:
  // Live mode is read from FileLive's check mark.
  explicit StartPositionMemory(ui::Form& form) : form_(form) {}

  void OnUpdate(const Epoch& shown, const dde::FixQuantities& /*quantities*/) override {
    const FixRecord& fix = shown.fix;
    if ((fix.validFlags & kValidPosition) != 0 && form_.Checked("FileLive"))
      position_ = LatLon{fix.latitude, fix.longitude};
  }
  const std::optional<LatLon>& Position() const { return position_; }
  void Clear() { position_.reset(); }

 private:
  ui::Form& form_;
  std::optional<LatLon> position_;
};

}  // namespace pelmora
