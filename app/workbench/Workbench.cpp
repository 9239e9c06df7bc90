// The workbench's model fed by epochs.
#include "app/workbench/Workbench.h"

#include <limits>

namespace pelmora::workbench {

const EpochSample* Workbench::OnEpoch(const pelmora::Epoch& epoch) {
  if (epoch.sequence != 0 && epoch.sequence == lastSequence_) return nullptr;
  lastSequence_ = epoch.sequence;
  sample_ = SampleOf(epoch, clock_.Time(epoch.fix));
  accuracy_.Add(sample_);
  history_.Add(sample_, sample_.hasFix ? accuracy_.HorizontalDeviation(sample_.position)
                                       : std::numeric_limits<double>::quiet_NaN());
  return &sample_;
}

void Workbench::NewSource() {
  history_.Clear();
  clock_.Reset();
  lastSequence_ = 0;
}

}  // namespace pelmora::workbench
