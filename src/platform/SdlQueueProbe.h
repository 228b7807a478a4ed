// SDL's own event queue, filled as the window system fills it, for the tests
// of the SDL backend (so that SDL's headers stay in the platform folder). The
// game does not use it.
#pragma once

#include <string>
#include <vector>

#include "platform/Events.h"

namespace qv {

class TSdlQueueProbe {
 public:
  // Starts SDL's video and events on the driver that the environment names,
  // and empties the queue.
  TSdlQueueProbe();
  ~TSdlQueueProbe();
  TSdlQueueProbe(const TSdlQueueProbe&) = delete;
  TSdlQueueProbe& operator=(const TSdlQueueProbe&) = delete;

  // False when the video did not start; Error says why.
  bool Valid() const { return started_; }
  const std::string& Error() const { return error_; }
  // The video driver SDL started on; empty when it did not start.
  std::string Driver() const;
  // Queues the SDL event that the source reads as this kind (KeyPress: typed
  // text, Activate: a user event); false for the kinds it does not make.
  bool Push(TEventKind kind);
  // The kinds of the events that wait in the queue, oldest first; the queue
  // keeps them.
  std::vector<TEventKind> Queued() const;

 private:
  bool started_ = false;
  std::string error_;
};

}  // namespace qv
