// The feed: one read per poll, the update step, the consumers.
#include "app/EpochFeed.h"

namespace pelmora {

void EpochFeed::Reset() {
  epoch_ = Epoch{};
  shown_ = Epoch{};
  sentences_.clear();
  messages_.clear();
  messagesDropped_ = 0;
  for (EpochConsumer* consumer : consumers_)
    consumer->OnNewSource();
}

void EpochFeed::Read() {
  p_.engine.GetEpoch(epoch_);
  p_.engine.TakeSentences(sentences_);
  p_.engine.TakeMessages(messages_, messagesDropped_);
}

void EpochFeed::Update() {
  shown_ = epoch_;
  if (!p_.panels.Show(shown_.fix, (shown_.flags & kEpochHasFix) != 0)) return;
  const dde::FixQuantities quantities = Quantities();
  // With no validity bit set there is nothing to send, unless DDEIgnore asks for every step.
  if ((p_.options.display.ddeIgnore == 1 || shown_.fix.validFlags != 0) && p_.link.LinkOpen())
    p_.link.SendUpdate(quantities);
  for (EpochConsumer* consumer : consumers_)
    consumer->OnUpdate(shown_, quantities);
}

dde::FixQuantities EpochFeed::Quantities() const {
  const FixRecord& fix = shown_.fix;
  dde::FixQuantities q;
  q.latitudeDegrees = fix.latitude;
  q.longitudeDegrees = fix.longitude;
  q.geoidHeight = p_.text.ElevationInUnit(fix.geoidHeight);
  q.ellipsoidHeight = p_.text.ElevationInUnit(fix.ellipsoidHeight);
  q.speed = p_.text.SpeedInUnit(fix.speed);
  q.trueHeadingDegrees = fix.trueHeading;  // never the magnetic heading
  q.pdop = fix.pdop;
  q.timeOfDaySeconds = p_.text.DisplayTimeSeconds(fix.utcSeconds);
  q.depth = fix.depth;
  return q;
}

}  // namespace pelmora
