// The simulated modem: a state machine fed with received bytes and the time,
// producing bytes to send and transcript events. No I/O; times are injected
// as milliseconds of one monotonic clock chosen by the caller.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Profile.h"
#include "Random.h"

namespace modemsim {

struct ModemOutput {
  // LineGone: the line is cut after the sends before it (the `cut` fault).
  enum class Kind { Send, Note, LineGone };
  Kind kind = Kind::Send;
  std::string text;    // Send: raw bytes for the PC; Note: transcript event text
  bool lossy = false;  // Send: lost, not queued, while the PC does not take bytes (flood)
};

enum class ModemMode { Command, Dialling, Data };

class Modem {
 public:
  explicit Modem(Profile profile);

  // Handles the bytes of one read() received at nowMs. Everything due at or
  // before nowMs is run first.
  std::vector<ModemOutput> Receive(std::string_view bytes, int64_t nowMs);

  // Runs everything due at or before nowMs (answer pieces, dial result,
  // escape guard, automatic drop).
  std::vector<ModemOutput> Advance(int64_t nowMs);

  // Time of the earliest pending item, or nothing when idle.
  std::optional<int64_t> NextDueMs() const;

  ModemMode Mode() const { return mode_; }
  bool Connected() const { return connected_; }
  bool EchoOn() const { return echoOn_; }

  // After LineGone the modem is deaf and mute until LineBack, which starts
  // it again as after power-on (the `cut ... back` fault's new line).
  bool LineIsGone() const { return lineGone_; }
  void LineBack();
  // How long after LineGone the line comes back; -1: never.
  int LineBackAfterMs() const { return profile_.faults.cutBackAfterMs; }

 private:
  struct QueuedSend {
    int64_t dueMs = 0;
    std::string bytes;
    bool lineGoneAfter = false;  // the `cut` fault ends the line after these bytes
  };
  enum class Timer { None, Send, Dial, Escape, Drop, Flood };

  void RunDue(int64_t nowMs, std::vector<ModemOutput>& out);
  Timer EarliestDue(int64_t& dueMs) const;
  void CommandByte(char c, int64_t nowMs, std::string& echo, std::vector<ModemOutput>& out);
  void DataByte(char c, int64_t nowMs);
  void DiallingByte(int64_t nowMs, std::vector<ModemOutput>& out);
  void AppendEcho(char c, std::string& echo);
  void ExecuteLine(int64_t nowMs, std::vector<ModemOutput>& out);
  bool ExecuteBuiltin(int64_t nowMs, std::vector<ModemOutput>& out);
  void StartDial(int64_t nowMs, std::vector<ModemOutput>& out);
  void FinishDial(int64_t nowMs, std::vector<ModemOutput>& out);
  void FinishEscape(int64_t nowMs, std::vector<ModemOutput>& out);
  void DropCarrier(int64_t nowMs, std::vector<ModemOutput>& out);
  void HangUp(std::vector<ModemOutput>& out);
  void EnterData(int64_t nowMs, std::vector<ModemOutput>& out);
  void SetEcho(bool on, std::vector<ModemOutput>& out);
  void EmitEcho(std::string& echo, int64_t nowMs, std::vector<ModemOutput>& out);
  void Reply(const Answer& answer, int64_t nowMs);
  void ReplyText(const std::string& bytes, int64_t nowMs);
  void SendResult(const std::string& bytes, int64_t nowMs, std::vector<ModemOutput>& out);
  bool ShapesAnswers() const;
  Answer Shape(const Answer& answer);
  void Schedule(const Answer& answer, int64_t nowMs, bool lineGoneAfter = false);
  void SendFlood(int64_t dueMs, std::vector<ModemOutput>& out);
  void GoOffLine(std::vector<ModemOutput>& out);

  Profile profile_;
  ModemMode mode_ = ModemMode::Command;
  bool echoOn_ = true;
  bool connected_ = false;
  std::string line_;                 // command line being assembled
  std::string activeConnectText_;    // CONNECT text of the current call
  std::deque<QueuedSend> sends_;     // due times never decrease
  std::optional<int64_t> dialDueMs_;
  DialResult pendingDial_;
  std::optional<int64_t> escapeDueMs_;
  std::optional<int64_t> dropDueMs_;
  int64_t lastDataRxMs_ = 0;         // last byte received in data mode (or CONNECT)
  int plusCount_ = 0;                // '+' seen of a possible escape
  int64_t firstPlusMs_ = 0;
  std::vector<int> faultCounts_;     // per echo fault: occurrences of its byte
  std::vector<size_t> commandUses_;  // per rule / dial number: times used
  std::vector<size_t> prefixUses_;
  std::vector<size_t> dialUses_;
  size_t dialDefaultUses_ = 0;
  size_t unknownUses_ = 0;
  size_t emptyUses_ = 0;
  // Faults.
  Random random_;
  Answer held_;                      // off-by-one: the answer the next command line gets
  bool cutDone_ = false;
  bool lineGone_ = false;
  std::optional<int64_t> floodDueMs_;
  size_t floodPos_ = 0;              // next byte of the flood text
};

}  // namespace modemsim
