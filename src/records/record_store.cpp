#include "records/record_store.h"

#include <sqlite3.h>

#include <memory>
#include <string_view>
#include <utility>

namespace sorvell::records {

namespace {

// The layout of the file this program writes. A later layout adds its step to Migrate() and
// raises this; a file of a later layout than the program knows is left alone.
constexpr int kLayoutVersion = 1;

// How long a write waits for another program that holds the file (a second window writing its
// own record, a history being read) before it gives up and says so.
constexpr int kBusyTimeoutMs = 3000;

constexpr const char* kCreateLayout =
    "CREATE TABLE IF NOT EXISTS layout (version INTEGER NOT NULL);"
    "CREATE TABLE IF NOT EXISTS records ("
    " id INTEGER PRIMARY KEY AUTOINCREMENT,"
    " time TEXT NOT NULL, program_version TEXT NOT NULL,"
    " board_model INTEGER NOT NULL, port TEXT NOT NULL, device TEXT NOT NULL,"
    " operation TEXT NOT NULL, image_name TEXT NOT NULL, image_sha256 TEXT NOT NULL,"
    " part_sum16 INTEGER, part_crc32 INTEGER,"
    " job TEXT NOT NULL, part_number INTEGER NOT NULL, serial TEXT NOT NULL,"
    " outcome TEXT NOT NULL, reason TEXT NOT NULL, detail TEXT NOT NULL,"
    " failing_address INTEGER, duration_ns INTEGER NOT NULL, backup_file TEXT NOT NULL);"
    "CREATE INDEX IF NOT EXISTS records_by_time ON records (time);"
    "CREATE INDEX IF NOT EXISTS records_by_serial ON records (serial);";

// The columns after the id, in the order of PartRecord.
constexpr const char* kColumns =
    "time, program_version, board_model, port, device, operation, image_name, image_sha256,"
    " part_sum16, part_crc32, job, part_number, serial, outcome, reason, detail,"
    " failing_address, duration_ns, backup_file";

struct CloseDb {
  void operator()(sqlite3* db) const { sqlite3_close(db); }
};
struct FinalizeStatement {
  void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Db = std::unique_ptr<sqlite3, CloseDb>;
using Statement = std::unique_ptr<sqlite3_stmt, FinalizeStatement>;

std::string Fault(sqlite3* db, const std::filesystem::path& file) {
  return file.string() + ": " + (db != nullptr ? sqlite3_errmsg(db) : "out of memory");
}

Db Open(const std::filesystem::path& file, int flags, std::string& error) {
  sqlite3* raw = nullptr;
  const int status = sqlite3_open_v2(file.c_str(), &raw, flags, nullptr);
  Db db(raw);
  if (status != SQLITE_OK) {
    error = Fault(raw, file);
    return nullptr;
  }
  sqlite3_busy_timeout(raw, kBusyTimeoutMs);
  sqlite3_extended_result_codes(raw, 1);
  return db;
}

bool Execute(sqlite3* db, const char* sql) {
  return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

Statement Prepare(sqlite3* db, const std::string& sql) {
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &raw, nullptr) != SQLITE_OK) return nullptr;
  return Statement(raw);
}

// The layout's version in the file, 0 when it has none yet; -1 when it cannot be read.
int LayoutVersion(sqlite3* db) {
  const Statement exists =
      Prepare(db, "SELECT count(*) FROM sqlite_master WHERE type='table' AND name='layout'");
  if (!exists || sqlite3_step(exists.get()) != SQLITE_ROW) return -1;
  if (sqlite3_column_int(exists.get(), 0) == 0) return 0;
  const Statement version = Prepare(db, "SELECT max(version) FROM layout");
  if (!version || sqlite3_step(version.get()) != SQLITE_ROW) return -1;
  return sqlite3_column_int(version.get(), 0);
}

// Inside the write's transaction: a new file gets the layout, an older one would be brought up
// to this program's here, step by step.
bool Migrate(sqlite3* db, const std::filesystem::path& file, std::string& error) {
  const int version = LayoutVersion(db);
  if (version < 0) {
    error = Fault(db, file);
    return false;
  }
  if (version > kLayoutVersion) {
    error = file.string() + ": written by a later version of the program (layout " +
            std::to_string(version) + "); this one leaves it alone";
    return false;
  }
  if (!Execute(db, kCreateLayout)) {
    error = Fault(db, file);
    return false;
  }
  if (version == 0 && !Execute(db, "INSERT INTO layout (version) VALUES (1)")) {
    error = Fault(db, file);
    return false;
  }
  return true;
}

void BindText(sqlite3_stmt* s, int index, const std::string& text) {
  sqlite3_bind_text(s, index, text.c_str(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

template <typename T>
void BindOptional(sqlite3_stmt* s, int index, const std::optional<T>& value) {
  if (value) {
    sqlite3_bind_int64(s, index, static_cast<sqlite3_int64>(*value));
  } else {
    sqlite3_bind_null(s, index);
  }
}

void BindRecord(sqlite3_stmt* s, const PartRecord& r) {
  int i = 0;
  BindText(s, ++i, r.time);
  BindText(s, ++i, r.programVersion);
  sqlite3_bind_int(s, ++i, r.boardModel);
  BindText(s, ++i, r.port);
  BindText(s, ++i, r.device);
  BindText(s, ++i, r.operation);
  BindText(s, ++i, r.imageName);
  BindText(s, ++i, r.imageSha256);
  BindOptional(s, ++i, r.partSum16);
  BindOptional(s, ++i, r.partCrc32);
  BindText(s, ++i, r.job);
  sqlite3_bind_int(s, ++i, r.partNumber);
  BindText(s, ++i, r.serial);
  BindText(s, ++i, r.outcome);
  BindText(s, ++i, r.reason);
  BindText(s, ++i, r.detail);
  BindOptional(s, ++i, r.failingAddress);
  sqlite3_bind_int64(s, ++i, static_cast<sqlite3_int64>(r.durationNs));
  BindText(s, ++i, r.backupFile);
}

std::string Text(sqlite3_stmt* s, int column) {
  const unsigned char* text = sqlite3_column_text(s, column);
  return text == nullptr ? std::string() : reinterpret_cast<const char*>(text);
}

template <typename T>
std::optional<T> Optional(sqlite3_stmt* s, int column) {
  if (sqlite3_column_type(s, column) == SQLITE_NULL) return std::nullopt;
  return static_cast<T>(sqlite3_column_int64(s, column));
}

PartRecord RecordAt(sqlite3_stmt* s) {
  PartRecord r;
  int i = 0;
  r.id = sqlite3_column_int64(s, i++);
  r.time = Text(s, i++);
  r.programVersion = Text(s, i++);
  r.boardModel = sqlite3_column_int(s, i++);
  r.port = Text(s, i++);
  r.device = Text(s, i++);
  r.operation = Text(s, i++);
  r.imageName = Text(s, i++);
  r.imageSha256 = Text(s, i++);
  r.partSum16 = Optional<std::uint16_t>(s, i++);
  r.partCrc32 = Optional<std::uint32_t>(s, i++);
  r.job = Text(s, i++);
  r.partNumber = sqlite3_column_int(s, i++);
  r.serial = Text(s, i++);
  r.outcome = Text(s, i++);
  r.reason = Text(s, i++);
  r.detail = Text(s, i++);
  r.failingAddress = Optional<std::int64_t>(s, i++);
  r.durationNs = static_cast<std::uint64_t>(sqlite3_column_int64(s, i++));
  r.backupFile = Text(s, i++);
  return r;
}

// The filter as a WHERE clause and the values bound to it, in order.
std::string Where(const RecordFilter& f, std::vector<std::string>& values) {
  std::string where;
  const auto add = [&](const std::string& value, const char* clause) {
    if (value.empty()) return;
    where += where.empty() ? " WHERE " : " AND ";
    where += clause;
    for (const char c : std::string_view(clause)) {
      if (c == '?') values.push_back(value);
    }
  };
  // The list's whole entry ("Eprom 27C256") or its chip name alone, as -d takes them.
  add(f.device, "(device = ? COLLATE NOCASE OR device LIKE '% ' || ?)");
  add(f.job, "job = ?");
  add(f.serial, "serial = ?");
  add(f.outcome, "outcome = ?");
  add(f.since, "time >= ?");
  // The record's time cut to the precision given: until a day holds that whole day.
  if (!f.until.empty()) {
    add(f.until, ("substr(time, 1, " + std::to_string(f.until.size()) + ") <= ?").c_str());
  }
  return where;
}

// Opens the file to read: no file is no records.
Db OpenToRead(const std::filesystem::path& file, bool& none, std::string& error) {
  std::error_code code;
  none = !std::filesystem::exists(file, code);
  if (none) return nullptr;
  if (!std::filesystem::is_regular_file(file, code)) {
    error = file.string() + ": not a regular file";
    return nullptr;
  }
  Db db = Open(file, SQLITE_OPEN_READONLY, error);
  if (!db) return nullptr;
  const int version = LayoutVersion(db.get());
  if (version < 0) {
    error = Fault(db.get(), file);
    return nullptr;
  }
  if (version > kLayoutVersion) {
    error = file.string() + ": written by a later version of the program (layout " +
            std::to_string(version) + ")";
    return nullptr;
  }
  none = version == 0;
  return db;
}

}  // namespace

RecordStore::RecordStore(std::filesystem::path dataFolder)
    : folder_(std::move(dataFolder)), file_(folder_ / kRecordFileName) {}

bool RecordStore::Add(PartRecord& record, std::string& error) {
  std::error_code code;
  std::filesystem::create_directories(folder_, code);
  if (code) {
    error = folder_.string() + ": the folder cannot be made: " + code.message();
    return false;
  }
  if (std::filesystem::exists(file_, code) && !std::filesystem::is_regular_file(file_, code)) {
    error = file_.string() + ": not a regular file";
    return false;
  }
  const Db db = Open(file_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, error);
  if (!db) return false;
  // The write lock is taken at the start, so a record never waits half-written for another.
  if (!Execute(db.get(), "BEGIN IMMEDIATE")) {
    error = Fault(db.get(), file_);
    return false;
  }
  bool written = Migrate(db.get(), file_, error);
  if (written) {
    const Statement insert =
        Prepare(db.get(), std::string("INSERT INTO records (") + kColumns +
                              ") VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    if (insert) BindRecord(insert.get(), record);
    written = insert && sqlite3_step(insert.get()) == SQLITE_DONE && Execute(db.get(), "COMMIT");
    if (!written) error = Fault(db.get(), file_);
  }
  if (!written) {
    Execute(db.get(), "ROLLBACK");
    return false;
  }
  record.id = sqlite3_last_insert_rowid(db.get());
  return true;
}

bool RecordStore::Find(const RecordFilter& filter, std::vector<PartRecord>& records,
                       std::string& error) {
  records.clear();
  bool none = false;
  const Db db = OpenToRead(file_, none, error);
  if (none) return true;
  if (!db) return false;
  std::vector<std::string> values;
  std::string sql = std::string("SELECT id, ") + kColumns + " FROM records" +
                    Where(filter, values) + " ORDER BY id DESC";
  if (filter.limit > 0) sql += " LIMIT " + std::to_string(filter.limit);
  const Statement query = Prepare(db.get(), sql);
  if (!query) {
    error = Fault(db.get(), file_);
    return false;
  }
  for (std::size_t i = 0; i < values.size(); ++i) {
    BindText(query.get(), static_cast<int>(i + 1), values[i]);
  }
  int status = SQLITE_ROW;
  while ((status = sqlite3_step(query.get())) == SQLITE_ROW)
    records.push_back(RecordAt(query.get()));
  if (status != SQLITE_DONE) {
    error = Fault(db.get(), file_);
    records.clear();
    return false;
  }
  return true;
}

std::optional<PartRecord> RecordStore::Get(std::int64_t id, std::string& error) {
  error.clear();
  bool none = false;
  const Db db = OpenToRead(file_, none, error);
  if (none || !db) return std::nullopt;
  const Statement query =
      Prepare(db.get(), std::string("SELECT id, ") + kColumns + " FROM records WHERE id = ?");
  if (!query) {
    error = Fault(db.get(), file_);
    return std::nullopt;
  }
  sqlite3_bind_int64(query.get(), 1, id);
  const int status = sqlite3_step(query.get());
  if (status == SQLITE_ROW) return RecordAt(query.get());
  if (status != SQLITE_DONE) error = Fault(db.get(), file_);
  return std::nullopt;
}

}  // namespace sorvell::records
