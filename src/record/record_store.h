// record_store.h - the per-board record of -w runs behind one interface, so that the rule "one
// identity, one board" is written once (in the app's reservation) whatever keeps the record: the
// CSV file (FileRecordStore) or a database server. Every operation is one whole transaction; the
// caller never learns which store it has.
//
// The order of a -w run with a record:
//   Open               before the board is touched; a failure refuses the run (exit 10)
//   MayHoldUnfinished  whether the board must be read for an identity it may hold already
//   FindUnfinished     which of the MAC addresses read from the board the record leaves unfinished
//   LookUp             what the record knows of a MAC address or serial number
//   Reserve            the last step before the first request that carries the identity
//   RecordOutcome      once, when the outcome is known; also for a run refused or stopped before
//                      its reservation
// Nothing is ever given back in the store: Reserve is made right before the request that carries
// the identity goes out, and nothing the run does can fail in between, so a run that reserved has
// sent it (or died on the way, which leaves it reserved: no other board gets it). What a run sets
// aside before Reserve (the INI file's step) is the caller's to give back when Reserve fails. A
// run that dies leaves the identity as its last transaction left it.
//
// Return conventions: kDone, or kFailed after the store's own message on the console it was made
// with (naming the store as Describe() does, and the system's or the server's reason; never a
// password); Reserve alone may answer kConflict. Messages about the identity rule itself (an
// identity refused, a board reworked) are the caller's.
//
// The file store: the record is a CSV file, one line per transaction (kBoardRecordHeader's
// columns), each appended in one write and flushed to the disk before the call returns. Open
// refuses a record that is one of the run's input files or cannot take a line, then takes the
// file's lock (waiting for another station's turn, saying so once) and reads what the record knows
// of every identity; the lock is held until Reserve (or a refusal's RecordOutcome) has appended
// its line, so that no other station can take the same identity in between, and a conflict cannot
// appear then. Reserve appends the line with the result "reserved", RecordOutcome the outcome
// line. The last line that tells something of an identity is the record's word on it (an outcome
// line with "written" no tells nothing). Its locator is "line N of the record file NAME".
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "format/board_record.h"
#include "platform/console.h"

// What the record says became of one identity, from the last transaction on it.
enum class IdentityState {
  kFree,        // never sent to a board, or given back: any board may take it
  kReserved,    // set aside by a run that has not told its outcome (it died, or is running)
  kWritten,     // written and verified by a run that then failed in a later stage (a store
                // that tells this apart; the file store reports such an identity as kFailed)
  kFailed,      // sent to a board by a run that then failed
  kProgrammed,  // on a board whose run succeeded
  kDamaged,     // named by a line of the record that cannot be read: what became of it is
                // unknown, so no board is given it
};

// What the record knows of one identity and of the run that holds it.
struct IdentityOwner {
  IdentityState state = IdentityState::kFree;
  std::string mac_address;  // the pair that run took, canonical "XX:XX:XX:XX:XX:XX" or empty
  std::string serial_number;
  std::string station;  // the host of that run; empty where the record does not say
  uint32_t adapter = 0;
  std::string time;  // UTC, ISO 8601, of its last transaction on the identity
  // Where the record says so, for messages: "line 5 of the record file boards.csv", or a
  // database's run key.
  std::string where;
};

// What the record knows of the identities one run needs. A state of kFree: nothing (or given
// back).
struct RecordKnowledge {
  IdentityOwner mac;
  IdentityOwner serial;
};

enum class RecordStatus {
  kDone,
  kConflict,  // Reserve: another run holds the identity; the owner is filled in
  kFailed,    // not done, after the store's message; what it had done before stays
  kUnknown,   // Reserve: the reply was lost and the record could not be asked whether it holds
              // the reservation; after the store's message. The identity counts as used.
};

// The reservation of one run, written as the record's own transaction.
struct RecordReservation {
  // The run's line as the record keeps it: identity, adapter, chip, memory, image length and
  // CRC, file, station, time, duration so far. |reserved| set, |result| unused.
  BoardRecordLine line;
  // The serial number steps from board to board and is this board's alone; a fixed serial
  // number (the same on every board by design) is recorded but never reserved.
  bool serial_counts = false;
  // The board holds this identity already (LookUp found it kReserved, kWritten or kFailed, and
  // the board was read to hold it): the run takes it over instead of refusing it.
  bool rework = false;
};

class RecordStore {
 public:
  virtual ~RecordStore() = default;

  // The store as messages name it: "the record file boards.csv".
  virtual std::string Describe() const = 0;

  // Makes the record ready for this run before the board is touched: the file is locked and
  // read, the server is connected. kFailed refuses the run (exit 10).
  virtual RecordStatus Open() = 0;

  // Sets |*may| when some identity may be held by a board whose run did not succeed (kReserved,
  // kWritten, kFailed): the run then reads the board's MAC addresses and looks them up.
  virtual RecordStatus MayHoldUnfinished(bool* may) = 0;

  // Sets |*owner| to what the record knows of the first of |mac_addresses| (read from the board,
  // canonical) that it leaves on a board whose run did not succeed (kReserved, kWritten,
  // kFailed); kFree when none is. The default asks LookUp of each.
  virtual RecordStatus FindUnfinished(const std::vector<std::string>& mac_addresses,
                                      IdentityOwner* owner);

  // Fills |*knowledge| with what the record knows of |mac_address| (canonical) and
  // |serial_number|; an empty one is not looked up and stays kFree.
  virtual RecordStatus LookUp(const std::string& mac_address, const std::string& serial_number,
                              RecordKnowledge* knowledge) = 0;

  // Sets the identity aside for this run, atomically and durably. kConflict (with |*owner|) when
  // the MAC address, or a counting serial number, is held by another run that is not a rework of
  // this board: then nothing is reserved. kFailed: nothing is reserved. kUnknown: the record may
  // hold the reservation. Ends the file store's turn (its lock is let go).
  virtual RecordStatus Reserve(const RecordReservation& reservation, IdentityOwner* owner) = 0;

  // Records the outcome of the run: |outcome.result| its exit code, |outcome.written| whether a
  // request carrying the identity was sent (true exactly when Reserve was done), |outcome.refused|
  // that the run was refused before the board was touched. A run that sent nothing leaves every
  // identity as it was; without a Reserve before it, the call also ends the file store's turn.
  // kFailed after a send leaves the identity reserved; the caller ends the run non-zero.
  virtual RecordStatus RecordOutcome(const BoardRecordLine& outcome) = 0;
};

// Where a run's record is kept and what it must not be.
struct RecordStoreSettings {
  std::string name;                      // as given with -t
  std::vector<std::string> input_files;  // the run's INI and image files: never the record
};

// The store |settings.name| names, reporting on |console|; not yet opened.
std::unique_ptr<RecordStore> MakeRecordStore(const RecordStoreSettings& settings, Console& console);
