#include "host/connection.h"

#include <cstdlib>
#include <new>
#include <optional>
#include <utility>

#include "host/file-name.h"

namespace trovel {
namespace {

constexpr std::size_t kDiskBuffer = 1024;
constexpr std::size_t kDeviceBuffer = 132;

FailureKind openFailureFor(OsError error) {
  switch (error) {
    case OsError::NotFound:
      return FailureKind::FileNotFound;
    case OsError::AccessDenied:
      return FailureKind::FileAccessDenied;
    case OsError::AlreadyExists:
      return FailureKind::FileAlreadyExists;
    case OsError::TooManyOpenFiles:
      return FailureKind::TooManyOpenFiles;
    default:
      return FailureKind::InvalidFileName;
  }
}

FailureKind writeFailureFor(OsError error) {
  return error == OsError::DiskFull ? FailureKind::DiskFull : FailureKind::WriteRefused;
}

}  // namespace

Units::Units(Platform& os, Failures& failures) : os_(os), failures_(failures) {
  failures_.setClosingStep([this] { closeAllUnits(); });
}

Units::~Units() {
  failures_.setClosingStep(nullptr);
}

void Units::openUnit(int unit, std::string_view nameText) {
  failures_.beginStatement(Statement::Open, "");
  std::string name = fileNameFrom(nameText);
  if (name.empty()) name = nameForBlank(unit);
  if (equalsIgnoringCase(name, "USER")) name = "CON";
  failures_.beginStatement(Statement::Open, name);

  const std::optional<DeviceName> device = deviceNameOf(name);
  if (device) {
    name = device->storedName;
    failures_.beginStatement(Statement::Open, name);
    if (device->system == "CON" || device->system == "ERR") {
      const bool console = device->system == "CON";
      connect(unit, name, ConnectionKind::Device,
              os_.standardHandle(console ? StandardStream::Input : StandardStream::Error),
              os_.standardHandle(console ? StandardStream::Output : StandardStream::Error), false,
              Access::ReadWrite, false);
      return;
    }
  }

  const bool create = !device && !os_.fileExists(name);
  const std::string path = device ? os_.devicePath(device->system) : name;
  const Disposition disposition = create ? Disposition::CreateNew : Disposition::OpenExisting;
  Opened opened;
  for (const Access access : {Access::ReadWrite, Access::Read, Access::Write}) {
    opened = os_.openFile(path, access, disposition);
    if (opened.error == OsError::None) {
      connect(unit, name, device ? ConnectionKind::Device : ConnectionKind::DiskFile, opened.handle,
              opened.handle, true, access, create);
      return;
    }
  }
  failures_.raiseFailure(openFailureFor(opened.error));
}

std::string Units::nameForBlank(int unit) {
  const std::vector<std::string> arguments = os_.arguments();
  if (argumentsUsed_ < arguments.size()) {
    std::string name = fileNameFrom(arguments[argumentsUsed_++]);
    if (!name.empty()) return name;
  }
  const std::string prompt =
      "File name missing or blank - please enter file name\r\nUNIT " + std::to_string(unit) + "? ";
  for (;;) {
    (void)writeAll(os_, os_.standardHandle(StandardStream::Output), prompt);
    std::string name = withoutBlanks(readAnswer());
    if (!name.empty()) return name;
  }
}

std::string Units::readAnswer() {
  const FileHandle input = os_.standardHandle(StandardStream::Input);
  std::string line;
  if (os_.isConsole(input)) {
    // A console hands over one typed line, with its line end, per request.
    char room[260];
    const Transfer read = os_.readFile(input, room);
    if (read.error != OsError::None || read.count == 0)
      failures_.raiseFailure(FailureKind::EndOfFile);
    line.assign(room, read.count);
    if (line.ends_with('\n')) line.pop_back();
    if (line.ends_with('\r')) line.pop_back();
    return line;
  }
  // A file or a pipe is taken a byte at a time, so that nothing after this
  // answer's line is consumed: a later prompt reads the next line.
  for (;;) {
    const std::optional<char> byte = nextInputByte(input);
    if (!byte) {
      if (withoutBlanks(line).empty()) failures_.raiseFailure(FailureKind::EndOfFile);
      return line;
    }
    if (*byte == '\n') return line;
    if (*byte == '\r') {
      // The line feed of a CR LF pair belongs to this line; any other byte to the next.
      const std::optional<char> next = nextInputByte(input);
      if (next && *next != '\n') pendingInput_ = next;
      return line;
    }
    if (line.size() < 260) line += *byte;
  }
}

std::optional<char> Units::nextInputByte(FileHandle input) {
  if (pendingInput_) return std::exchange(pendingInput_, std::nullopt);
  char byte;
  const Transfer read = os_.readFile(input, std::span<char>(&byte, 1));
  if (read.error != OsError::None || read.count == 0) return std::nullopt;
  return byte;
}

void Units::connect(int unit, const std::string& name, ConnectionKind kind, FileHandle input,
                    FileHandle output, bool ownsHandle, Access access, bool created) {
  std::unique_ptr<Connection> connection;
  try {
    connection = std::make_unique<Connection>();
    connection->fileName = name;
    connection->buffer.resize(kind == ConnectionKind::Device ? kDeviceBuffer : kDiskBuffer);
  } catch (const std::bad_alloc&) {
    if (ownsHandle) os_.closeFile(input);
    failures_.raiseFailure(FailureKind::NoMemory);
  }
  connection->unit = unit;
  connection->kind = kind;
  connection->input = input;
  connection->output = output;
  connection->ownsHandle = ownsHandle;
  connection->access = access;
  connection->writing = created;
  for (std::unique_ptr<Connection>& slot : slots_) {
    if (!slot) {
      slot = std::move(connection);
      return;
    }
  }
  if (ownsHandle) os_.closeFile(input);
  failures_.raiseFailure(FailureKind::TooManyOpenFiles);
}

void Units::closeUnit(int unit) {
  std::unique_ptr<Connection>* slot = slotOf(unit);
  failures_.beginStatement(Statement::Close, slot ? (*slot)->fileName : "");
  if (!slot) return;
  Connection& connection = **slot;
  const bool wasWritten = connection.writing;
  if (connection.writing) writeOut(connection);
  const OsError closed = connection.ownsHandle ? os_.closeFile(connection.input) : OsError::None;
  slot->reset();
  // A failed close after writing may have lost what was written; after
  // reading it has lost nothing.
  if (closed != OsError::None && wasWritten) failures_.raiseFailure(writeFailureFor(closed));
}

void Units::closeAllUnits() {
  for (std::unique_ptr<Connection>& slot : slots_) {
    if (slot) closeUnit(slot->unit);
  }
}

Connection& Units::connectionOf(int unit) {
  std::unique_ptr<Connection>* slot = slotOf(unit);
  if (!slot) std::abort();  // the program reads and writes only units it has connected
  return **slot;
}

bool Units::isConnected(int unit) const {
  for (const std::unique_ptr<Connection>& slot : slots_) {
    if (slot && slot->unit == unit) return true;
  }
  return false;
}

std::unique_ptr<Connection>* Units::slotOf(int unit) {
  for (std::unique_ptr<Connection>& slot : slots_) {
    if (slot && slot->unit == unit) return &slot;
  }
  return nullptr;
}

Transfer Units::refill(Connection& connection) {
  const Transfer read = os_.readFile(connection.input, connection.buffer);
  if (read.error != OsError::None) return read;
  connection.bufferStart += connection.count;
  connection.position = 0;
  connection.count = read.count;
  return read;
}

void Units::beginWriting(Connection& connection) {
  if (connection.writing) return;
  const std::uint64_t position = connection.bufferStart + connection.position;
  if (connection.kind == ConnectionKind::DiskFile) {
    const OsError cut = os_.cutFile(connection.output, position);
    if (cut != OsError::None) failures_.raiseFailure(writeFailureFor(cut));
  }
  connection.bufferStart = position;
  connection.position = 0;
  connection.count = 0;
  connection.writing = true;
}

void Units::writeOut(Connection& connection) {
  if (connection.count == 0) return;
  const OsError error = writeAll(os_, connection.output,
                                 std::span<const char>(connection.buffer.data(), connection.count));
  connection.bufferStart += connection.count;
  // Bytes that could not be written are reported once, not offered again by
  // the closing step, which would report the same fault a second time.
  connection.count = 0;
  if (error != OsError::None) failures_.raiseFailure(writeFailureFor(error));
}

void Units::endWriting(Connection& connection) {
  if (!connection.writing) return;
  writeOut(connection);
  connection.writing = false;
  connection.position = 0;
  connection.count = 0;
}

}  // namespace trovel
