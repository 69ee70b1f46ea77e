#include "gdbstub/connection.h"

#include <utility>

namespace hc11::gdb {

Connection::Connection(Dispatcher& dispatcher, Sender send)
    : dispatcher_(dispatcher), send_(std::move(send)) {}

void Connection::Send(std::string_view bytes) {
  if (!ended_ && !send_(bytes)) ended_ = true;
}

void Connection::Feed(std::string_view bytes) {
  Drain();  // the rest of the chunk whose packet started the run going on
  input_.assign(bytes);
  next_ = 0;
  Drain();
}

void Connection::Drain() {
  while (next_ < input_.size() && !ended_) Take(input_[next_++]);
  input_.clear();
  next_ = 0;
}

void Connection::Take(char byte) {
  const auto event = reader_.Push(byte);
  if (!event) return;
  switch (*event) {
    case FrameEvent::Packet: {
      if (ack_) Send("+");
      const auto reply = dispatcher_.Handle(reader_.payload());
      if (reply) {
        lastReply_ = FramePacket(*reply);
        Send(lastReply_);
      }
      if (dispatcher_.TakeNoAckRequest()) ack_ = false;
      if (dispatcher_.end() != ClientEnd::None) ended_ = true;
      break;
    }
    case FrameEvent::BadChecksum:
      if (ack_) Send("-");
      break;
    case FrameEvent::Oversized:
      if (ack_) Send("+");
      lastReply_ = FramePacket("E01");
      Send(lastReply_);
      break;
    case FrameEvent::Nak:
      if (ack_ && !lastReply_.empty()) Send(lastReply_);
      break;
    case FrameEvent::Interrupt:
      dispatcher_.Interrupt();  // nothing happens unless a run started here is going on
      break;
    case FrameEvent::Ack:
      break;
  }
}

}  // namespace hc11::gdb
