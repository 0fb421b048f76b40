// Extraction: order, callbacks, percentages, stream placement, and what
// happens to entries that cannot or must not be extracted.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/fanotify.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <algorithm>
#include <memory>
#include <thread>

#include "payload/PayloadReader.h"
#include "payload/PlatformFile.h"
#include "tests/host/TestSupport.h"

namespace {

using namespace testing_support;
using payload::PayloadReader;

struct Event {
  int32_t code;
  long value;  // entry index, or the percentage
  bool operator==(const Event& other) const { return code == other.code && value == other.value; }
};

struct Recorder {
  const PayloadReader* reader = nullptr;
  std::vector<Event> events;

  static int32_t Callback(int32_t code, const void* value, uintptr_t user) {
    auto* self = reinterpret_cast<Recorder*>(user);
    if (code == payload::PROGRESS_PERCENT) {
      self->events.push_back({code, static_cast<long>(*static_cast<const uint32_t*>(value))});
    } else {
      const auto* record = static_cast<const payload::DirectoryRecord*>(value);
      self->events.push_back({code, static_cast<long>(record - &self->reader->GetRecord(0))});
    }
    return 0;
  }
  std::vector<Event> Without(int32_t code) const {
    std::vector<Event> kept;
    for (const Event& event : events) if (event.code != code) kept.push_back(event);
    return kept;
  }
  std::vector<long> Percentages() const {
    std::vector<long> values;
    for (const Event& event : events) {
      if (event.code == payload::PROGRESS_PERCENT) values.push_back(event.value);
    }
    return values;
  }
};

constexpr int32_t kBegin = payload::PROGRESS_ENTRY_BEGIN;
constexpr int32_t kDone = payload::PROGRESS_ENTRY_DONE;
constexpr int32_t kPercent = payload::PROGRESS_PERCENT;

class ExtractAllTest : public ::testing::Test {
 protected:
  int32_t Extract(const std::string& bytes, const std::string& target = "") {
    WriteFile(package_, bytes);
    recorder_.reader = reader_.get();
    recorder_.events.clear();
    return reader_->ExtractAll(target.empty() ? target_ : target, &Recorder::Callback,
                               reinterpret_cast<uintptr_t>(&recorder_));
  }
  std::string Output(const std::string& relative) { return ReadFile(target_ + "/" + relative); }

  TempDir dir_;
  std::string package_ = dir_ / "ParvaneSetup.exe";
  std::string target_ = dir_ / "target";
  std::unique_ptr<PayloadReader> reader_ = std::make_unique<PayloadReader>(package_);
  Recorder recorder_;
};

TEST_F(ExtractAllTest, ExtractsLastEntryFirstWithBeginAndDoneAroundEach) {
  std::vector<PackageEntry> entries;
  for (int i = 0; i < 25; ++i) {
    entries.push_back({i % 3 == 0 ? "" : "sub" + std::to_string(i % 2) + "\\", "file" + std::to_string(i),
                       MixedContent(static_cast<size_t>(i) * 3000, static_cast<unsigned>(i))});
  }
  ASSERT_EQ(Extract(BuildPackage(entries).bytes), payload::PAYLOAD_OK);

  std::vector<Event> expected;
  for (long i = 24; i >= 0; --i) {
    expected.push_back({kBegin, i});
    expected.push_back({kDone, i});
  }
  EXPECT_EQ(recorder_.Without(kPercent), expected);
  for (const PackageEntry& entry : entries) {
    std::string folder = entry.folderName.empty() ? "" : entry.folderName.substr(0, 4) + "/";
    EXPECT_EQ(Output(folder + entry.fileName), entry.content) << entry.fileName;
  }
}

TEST(Percentage, RoundsDownAndDividesLargeTotalsFirst) {
  EXPECT_EQ(PayloadReader::Percentage(1, 3), 33u);
  EXPECT_EQ(PayloadReader::Percentage(0, 5), 0u);
  EXPECT_EQ(PayloadReader::Percentage(9999999, 10000000), 99u);
  EXPECT_EQ(PayloadReader::Percentage(5000000, 10000001), 50u);
  EXPECT_EQ(PayloadReader::Percentage(4000000000u, 4200000000u), 95u);
  EXPECT_EQ(PayloadReader::Percentage(7, 0), 100u);
  EXPECT_EQ(PayloadReader::Percentage(0, 0), 100u);
  // More consumed than the total says: capped, and no 32-bit overflow.
  EXPECT_EQ(PayloadReader::Percentage(50000000, 1000), 100u);
  EXPECT_EQ(PayloadReader::Percentage(42949673, 1000), 100u);  // done * 100 wraps to 4
  EXPECT_EQ(PayloadReader::Percentage(1000, 1000), 100u);
}

TEST_F(ExtractAllTest, PercentagesClimbButNeverReachHundredOnCorrectStreams) {
  ASSERT_EQ(Extract(BuildPackage({{"", "big", MixedContent(600000, 1)},
                                  {"", "small", "tiny"}})
                        .bytes),
            payload::PAYLOAD_OK);
  // Entry 1 ("small") ends inside its first block: no percentage at all.
  ASSERT_EQ(recorder_.events.front(), (Event{kBegin, 1}));
  ASSERT_EQ(recorder_.events[1], (Event{kDone, 1}));
  const std::vector<long> values = recorder_.Percentages();
  ASSERT_GT(values.size(), 50u);
  for (size_t i = 1; i < values.size(); ++i) EXPECT_GE(values[i], values[i - 1]);
  EXPECT_GE(values.back(), 95);
  EXPECT_LT(values.back(), 100);
}

TEST_F(ExtractAllTest, CompressedSizeFieldOnlyDrivesTheProgress) {
  const std::string content = MixedContent(300000, 2);
  BuiltPackage zero = BuildPackage({{"", "a", content}});
  zero.records[0].compressedSize = 0;
  zero.records[0].inflatedSize = 5;  // ignored as well
  ASSERT_EQ(Extract(AssemblePackage(zero.bytes.substr(0, zero.bytes.size() -
                                                             RecordBytes(zero.records[0]).size() - 22),
                                    {}, zero.records)),
            payload::PAYLOAD_OK);
  ASSERT_FALSE(recorder_.Percentages().empty());
  for (long value : recorder_.Percentages()) EXPECT_EQ(value, 100);
  EXPECT_EQ(Output("a"), content);

  BuiltPackage small = BuildPackage({{"", "a", content}});
  const size_t dataEnd = small.bytes.size() - RecordBytes(small.records[0]).size() - 22;
  small.records[0].compressedSize = 10000;
  ASSERT_EQ(Extract(AssemblePackage(small.bytes.substr(0, dataEnd), {}, small.records)),
            payload::PAYLOAD_OK);
  const std::vector<long> values = recorder_.Percentages();
  for (long value : values) EXPECT_LE(value, 100);
  EXPECT_EQ(values.back(), 100);
  EXPECT_EQ(Output("a"), content);
}

TEST_F(ExtractAllTest, StreamsOutOfOrderAndWithGapsAreFoundByTheirOffsets) {
  const std::string one = MixedContent(20000, 3), two = MixedContent(9000, 4), three = "third";
  const std::string s1 = Deflate(one), s2 = Deflate(two), s3 = Deflate(three);
  const std::string image(4096, 'M');
  const int32_t at3 = 5000;
  const int32_t at1 = at3 + static_cast<int32_t>(s3.size()) + 777;
  const int32_t at2 = at1 + static_cast<int32_t>(s1.size()) + 10;
  const std::vector<RawRecord> records = {
      {at1, 20000, static_cast<int32_t>(s1.size()), "one", ""},
      {at2, 9000, static_cast<int32_t>(s2.size()), "two", "d\\"},
      {at3, 5, static_cast<int32_t>(s3.size()), "three", ""}};
  ASSERT_EQ(Extract(AssemblePackage(image, {{at2, s2}, {at3, s3}, {at1, s1}}, records)),
            payload::PAYLOAD_OK);
  EXPECT_EQ(Output("one"), one);
  EXPECT_EQ(Output("d/two"), two);
  EXPECT_EQ(Output("three"), three);
}

TEST_F(ExtractAllTest, EveryCompressionLevelAndWindowSize) {
  std::vector<PackageEntry> entries;
  const std::string content = MixedContent(70000, 5) + std::string(40000, 'z');
  for (int level = -1; level <= 9; ++level) {
    for (int window = 9; window <= 15; ++window) {
      entries.push_back({"", "l" + std::to_string(level) + "w" + std::to_string(window), content,
                         level, window});
    }
  }
  ASSERT_EQ(Extract(BuildPackage(entries).bytes), payload::PAYLOAD_OK);
  for (const PackageEntry& entry : entries) EXPECT_EQ(Output(entry.fileName), content) << entry.fileName;
}

TEST_F(ExtractAllTest, FoldersAreCreatedAndTheLowerIndexWinsForDuplicates) {
  ASSERT_EQ(Extract(BuildPackage({{"", "same", "entry 0"},
                                  {"one\\two\\", "deep", "deep"},
                                  {"\x81\x5C\\", "gbk", "gbk"},
                                  {"", "same", "entry 3"}})
                        .bytes),
            payload::PAYLOAD_OK);
  EXPECT_EQ(Output("same"), "entry 0");
  EXPECT_EQ(Output("one/two/deep"), "deep");
  EXPECT_EQ(Output("\x81\x5C/gbk"), "gbk");
  EXPECT_EQ(ListFolder(target_), (std::vector<std::string>{"one", "same", "\x81\x5C"}));
}

// The folder of the entry before is taken as there; one that went away in
// between is made again, not reported as a failed entry.
TEST_F(ExtractAllTest, AFolderRemovedBetweenEntriesIsMadeAgain) {
  struct Remover {
    std::string folder;
    static int32_t Callback(int32_t code, const void* value, uintptr_t user) {
      const auto* self = reinterpret_cast<const Remover*>(user);
      const auto* record = static_cast<const payload::DirectoryRecord*>(value);
      if (code == payload::PROGRESS_ENTRY_BEGIN && record->fileName == "a") {
        RemoveTree(self->folder);
      }
      return 0;
    }
  } remover{target_ + "/sub"};
  WriteFile(package_, BuildPackage({{"sub\\", "a", "alpha"}, {"sub\\", "b", "beta"}}).bytes);
  ASSERT_EQ(reader_->ExtractAll(target_, &Remover::Callback,
                                reinterpret_cast<uintptr_t>(&remover)),
            payload::PAYLOAD_OK);
  EXPECT_EQ(Output("sub/a"), "alpha");
  EXPECT_FALSE(Exists(target_ + "/sub/b"));
}

TEST_F(ExtractAllTest, TargetFolderGetsExactlyOneTrailingBackslash) {
  const std::string bytes = BuildPackage({{"", "a", "A"}}).bytes;
  ASSERT_EQ(Extract(bytes, target_), payload::PAYLOAD_OK);
  EXPECT_EQ(Output("a"), "A");
  RemoveTree(target_);
  ASSERT_EQ(Extract(bytes, target_ + "\\"), payload::PAYLOAD_OK);
  EXPECT_EQ(Output("a"), "A");
  // Windows reads '/' as a separator in a typed folder: every missing
  // folder along it is made.
  ASSERT_EQ(Extract(bytes, dir_ / "new/deeper"), payload::PAYLOAD_OK);
  EXPECT_EQ(ReadFile(dir_ / "new/deeper/a"), "A");
}

TEST_F(ExtractAllTest, EmptyTargetFolderIsRefusedBeforeAnything) {
  WriteFile(package_, BuildPackage({{"", "a", "A"}}).bytes);
  recorder_.reader = reader_.get();
  EXPECT_EQ(reader_->ExtractAll("", &Recorder::Callback, reinterpret_cast<uintptr_t>(&recorder_)),
            payload::PAYLOAD_ENTRY_FAILED);
  EXPECT_TRUE(recorder_.events.empty());
  EXPECT_EQ(ListFolder(dir_.path()), (std::vector<std::string>{"ParvaneSetup.exe"}));
}

TEST_F(ExtractAllTest, DirectoryFailuresReturnBeforeAnyCallback) {
  EXPECT_EQ(Extract("no package here"), payload::PAYLOAD_BAD_TRAILER);
  EXPECT_EQ(Extract(Tail(0, 0)), payload::PAYLOAD_NO_ENTRIES);
  EXPECT_TRUE(recorder_.events.empty());
  EXPECT_FALSE(Exists(target_));
  auto missing = std::make_unique<PayloadReader>(dir_ / "missing.exe");
  EXPECT_EQ(missing->ExtractAll(target_, nullptr, 0), payload::PAYLOAD_OPEN_FAILED);
}

// An entry that fails gets its BEGIN but no DONE (and no percentage when it
// fails before its data is read); the others are extracted.
void ExpectOnlyEntryFailed(const Recorder& recorder, long failed, long count,
                           bool failsBeforeReading = true) {
  std::vector<Event> expected;
  for (long i = count - 1; i >= 0; --i) {
    expected.push_back({kBegin, i});
    if (i != failed) expected.push_back({kDone, i});
  }
  EXPECT_EQ(recorder.Without(kPercent), expected);
  if (!failsBeforeReading) return;
  for (size_t i = 0; i < recorder.events.size(); ++i) {
    if (recorder.events[i] == Event{kBegin, failed} && i + 1 < recorder.events.size()) {
      EXPECT_NE(recorder.events[i + 1].code, kPercent);
    }
  }
}

TEST_F(ExtractAllTest, OutputsThatCannotBeCreatedFailOnlyTheirEntry) {
  mkdir(target_.c_str(), 0755);
  mkdir((target_ + "/taken").c_str(), 0755);  // a folder where the file should go
  ASSERT_EQ(Extract(BuildPackage({{"", "first", "1"}, {"", "taken", MixedContent(50000, 6)},
                                  {"", "last", "3"}})
                        .bytes),
            payload::PAYLOAD_ENTRY_FAILED);
  ExpectOnlyEntryFailed(recorder_, 1, 3);
  EXPECT_EQ(Output("first"), "1");
  EXPECT_EQ(Output("last"), "3");

  RemoveTree(target_);
  ASSERT_EQ(Extract(BuildPackage({{"", "a", "1"}, {"sub\\", "", "empty name"}}).bytes),
            payload::PAYLOAD_ENTRY_FAILED);
  ExpectOnlyEntryFailed(recorder_, 1, 2);
  EXPECT_EQ(Output("a"), "1");
}

TEST_F(ExtractAllTest, OutputPathsOfMaxPathBytesFail) {
  // target + "\" + name: 259 bytes fit, 260 do not.
  const size_t room = 259 - target_.size() - 1;
  const std::string fits(room, 'f');
  const std::string tooLong = std::string(room, 'g') + "g";
  ASSERT_EQ(Extract(BuildPackage({{"", fits, "ok"}, {"", tooLong, "no"}}).bytes),
            payload::PAYLOAD_ENTRY_FAILED);
  ExpectOnlyEntryFailed(recorder_, 1, 2);
  EXPECT_EQ(Output(fits), "ok");
  EXPECT_FALSE(Exists(target_ + "/" + tooLong));
}

// Each row damages entry 1 of three; it must fail without leaving a file.
TEST_F(ExtractAllTest, DamagedEntriesFailAndLeaveNoFile) {
  const std::string content = MixedContent(40000, 7);
  const BuiltPackage good = BuildPackage({{"", "e0", "zero"}, {"", "e1", content}, {"", "e2", "two"}});
  const size_t dataEnd = static_cast<size_t>(good.records[2].offset + good.records[2].compressedSize);
  const std::string data = good.bytes.substr(0, dataEnd);
  const int32_t at1 = good.records[1].offset;
  const int32_t size1 = good.records[1].compressedSize;

  auto withRecord1 = [&](std::string bytes, const RawRecord& changed, const std::string& title = "") {
    std::vector<RawRecord> records = good.records;
    records[1] = changed;
    return AssemblePackage(bytes, {}, records, title);
  };
  RawRecord record1 = good.records[1];

  std::string flipped = data;
  flipped[static_cast<size_t>(at1 + size1 / 2)] ^= 0x55;
  std::string badChecksum = data;
  badChecksum[static_cast<size_t>(at1 + size1 - 1)] ^= 0x01;

  // A stored stream cut short and placed as the title: the reads run through
  // the tail into the end of the file while the block still wants bytes.
  const std::string cut = Deflate(std::string(5000, 's'), 0).substr(0, 100);
  RawRecord atTitle = record1;
  const std::string dictionary = DeflateWithDictionary(content, "dictionary words");
  RawRecord needsDictionary = record1;
  needsDictionary.offset = static_cast<int32_t>(data.size());
  RawRecord beyond = record1;
  RawRecord atEnd = record1;
  RawRecord negative = record1;
  negative.offset = -4096;

  struct Case {
    const char* name;
    std::string bytes;
    bool failsBeforeReading = false;
  };
  std::vector<Case> cases;
  cases.push_back({"flipped stream byte", withRecord1(flipped, record1)});
  cases.push_back({"checksum mismatch", withRecord1(badChecksum, record1)});
  {
    // The title starts at: size - 22 - title length.
    std::vector<RawRecord> records = good.records;
    size_t directory = 0;
    for (const RawRecord& r : records) directory += RecordBytes(r).size();
    atTitle.offset = static_cast<int32_t>(data.size() + directory);
    records[1] = atTitle;
    cases.push_back({"stream runs into the end of the file",
                     AssemblePackage(data, {}, records, cut)});
  }
  cases.push_back({"preset dictionary", withRecord1(data + dictionary, needsDictionary)});
  {
    std::string bytes = withRecord1(data, record1);
    beyond.offset = 100000000;
    atEnd.offset = static_cast<int32_t>(bytes.size());
    cases.push_back({"offset beyond the end", withRecord1(data, beyond), true});
    cases.push_back({"offset at the end", withRecord1(data, atEnd), true});
  }
  cases.push_back({"negative offset", withRecord1(data, negative), true});

  for (const Case& c : cases) {
    RemoveTree(target_);
    EXPECT_EQ(Extract(c.bytes), payload::PAYLOAD_ENTRY_FAILED) << c.name;
    ExpectOnlyEntryFailed(recorder_, 1, 3, c.failsBeforeReading);
    EXPECT_EQ(ListFolder(target_), (std::vector<std::string>{"e0", "e2"})) << c.name;
  }
}

TEST_F(ExtractAllTest, NamesThatWouldLeaveTheTargetAreRefused) {
  const char* folders[] = {"..\\", "a\\..\\..\\", ".\\", "\\abs\\", "C:\\", "a\\\\", "x/y\\"};
  const char* files[] = {"..", "..\\escape", "/escape", "name:stream", "a/b"};
  std::vector<std::pair<std::string, std::string>> names;
  for (const char* folder : folders) names.emplace_back(folder, "escape");
  for (const char* file : files) names.emplace_back("", file);
  mkdir(target_.c_str(), 0755);
  const std::string inner = target_ + "/inner";
  for (const auto& name : names) {
    RemoveTree(inner);
    auto reader = std::make_unique<PayloadReader>(package_);
    WriteFile(package_, BuildPackage({{"", "ok", "fine"}, {name.first, name.second, "bad"}}).bytes);
    recorder_.reader = reader.get();
    recorder_.events.clear();
    EXPECT_EQ(reader->ExtractAll(inner, &Recorder::Callback, reinterpret_cast<uintptr_t>(&recorder_)),
              payload::PAYLOAD_ENTRY_FAILED)
        << name.first << name.second;
    ExpectOnlyEntryFailed(recorder_, 1, 2);
    EXPECT_EQ(ListFolder(inner), (std::vector<std::string>{"ok"})) << name.first << name.second;
    EXPECT_EQ(ListFolder(target_), (std::vector<std::string>{"inner"})) << name.first << name.second;
    EXPECT_EQ(ListFolder(dir_.path()), (std::vector<std::string>{"ParvaneSetup.exe", "target"}));
  }
}

// A link below the target folder, planted before the extraction, is never
// written through: its entry fails before any byte is written, the link and
// what it leads to stay as they were, and the other entries are extracted.
TEST_F(ExtractAllTest, LinksBelowTheTargetAreNeverWrittenThrough) {
  const std::string outside = dir_ / "outside";
  struct Case {
    const char* what;
    const char* link;    // made inside the target, leading to `outside`
    const char* leadsTo;
    const char* folder;
    const char* file;
  };
  const Case cases[] = {
      {"the entry's folder", "sub", "", "sub\\", "victim"},
      {"a folder on the way", "deep/sub", "", "deep\\sub\\more\\", "x"},
      {"a folder named without its final backslash", "plain", "", "plain", "x"},
      {"a folder inside the file name", "sub", "", "", "sub\\victim"},
      {"the output file", "victim", "/victim", "", "victim"},
      {"a dangling output file", "fresh", "/made", "", "fresh"},
  };
  for (const Case& test : cases) {
    RemoveTree(target_);
    RemoveTree(outside);
    ASSERT_EQ(mkdir(outside.c_str(), 0755), 0);
    WriteFile(outside + "/victim", "original");
    ASSERT_EQ(mkdir(target_.c_str(), 0755), 0);
    mkdir((target_ + "/deep").c_str(), 0755);
    const std::string link = target_ + "/" + test.link;
    ASSERT_EQ(symlink((outside + test.leadsTo).c_str(), link.c_str()), 0) << test.what;

    ASSERT_EQ(Extract(BuildPackage({{"", "ok", "fine"}, {test.folder, test.file, "planted"}}).bytes),
              payload::PAYLOAD_ENTRY_FAILED)
        << test.what;
    ExpectOnlyEntryFailed(recorder_, 1, 2);
    EXPECT_EQ(Output("ok"), "fine") << test.what;
    EXPECT_EQ(ListFolder(outside), (std::vector<std::string>{"victim"})) << test.what;
    EXPECT_EQ(ReadFile(outside + "/victim"), "original") << test.what;
    EXPECT_TRUE(payload::IsLink(link)) << test.what;
    std::string named = target_ + "\\" + test.link;
    std::replace(named.begin() + static_cast<long>(target_.size()), named.end(), '/', '\\');
    EXPECT_EQ(reader_->GetRefusedLink(), named) << test.what;
  }

  // A folder named like the one the last file went into, but another one,
  // is looked at as well.
  RemoveTree(target_);
  ASSERT_EQ(mkdir(target_.c_str(), 0755), 0);
  ASSERT_EQ(symlink(outside.c_str(), (target_ + "/sub").c_str()), 0);
  ASSERT_EQ(Extract(BuildPackage({{"sub\\", "victim", "planted"}, {"own\\", "ok", "fine"}}).bytes),
            payload::PAYLOAD_ENTRY_FAILED);
  ExpectOnlyEntryFailed(recorder_, 0, 2);
  EXPECT_EQ(ReadFile(outside + "/victim"), "original");
}

// The target folder itself is the user's choice, and a folder the reader
// made itself is used again without a second look; links elsewhere on the
// path do not matter either.
TEST_F(ExtractAllTest, TheTargetFolderItselfMayBeALink) {
  const std::string real = dir_ / "real";
  ASSERT_EQ(mkdir(real.c_str(), 0755), 0);
  ASSERT_EQ(symlink(real.c_str(), target_.c_str()), 0);
  ASSERT_EQ(Extract(BuildPackage({{"", "a", "A"}, {"sub\\", "b", "B"}, {"sub\\", "c", "C"}}).bytes),
            payload::PAYLOAD_OK);
  EXPECT_EQ(ReadFile(real + "/a"), "A");
  EXPECT_EQ(ReadFile(real + "/sub/b"), "B");
  EXPECT_EQ(ReadFile(real + "/sub/c"), "C");
  EXPECT_EQ(reader_->GetRefusedLink(), "");
}

// A write that the system refuses (here: the file size limit, as a full disk
// would) ends the extraction at once with PAYLOAD_FILE_ERROR naming the file:
// the partial file goes, the entry extracted before stays, and the entry
// after it is never begun.
TEST_F(ExtractAllTest, WriteFailureEndsTheExtractionAndRemovesThePartialFile) {
  const std::string bytes = BuildPackage({{"", "first", "extracted last, never begun"},
                                          {"", "big", MixedContent(2000000, 8)},
                                          {"", "small", "extracted first"}})
                                .bytes;
  WriteFile(package_, bytes);
  struct rlimit previous;
  getrlimit(RLIMIT_FSIZE, &previous);
  struct rlimit limited = previous;
  limited.rlim_cur = 256 * 1024;
  sighandler_t handler = signal(SIGXFSZ, SIG_IGN);
  setrlimit(RLIMIT_FSIZE, &limited);
  recorder_.reader = reader_.get();
  const int32_t result = reader_->ExtractAll(target_, &Recorder::Callback,
                                             reinterpret_cast<uintptr_t>(&recorder_));
  setrlimit(RLIMIT_FSIZE, &previous);
  signal(SIGXFSZ, handler);

  EXPECT_EQ(result, payload::PAYLOAD_FILE_ERROR);
  EXPECT_EQ(reader_->GetFileError().code(), static_cast<uint32_t>(EFBIG));
  EXPECT_EQ(reader_->GetFileError().fileName(), target_ + "\\big");
  EXPECT_EQ(ListFolder(target_), (std::vector<std::string>{"small"}));
  EXPECT_EQ(recorder_.Without(payload::PROGRESS_PERCENT),
            (std::vector<Event>{{kBegin, 2}, {kDone, 2}, {kBegin, 1}}));
}

}  // namespace

namespace {

// Answers the opens (FAN_OPEN_PERM) or reads (FAN_ACCESS_PERM) of one file
// as a permission listener: the first `allowed` are allowed and every later
// one denied, so the file really can be opened or read only so often.
class PermissionsRunOut {
 public:
  PermissionsRunOut(const std::string& path, uint64_t events, int allowed) : allowed_(allowed) {
    fan_ = fanotify_init(FAN_CLASS_CONTENT | FAN_CLOEXEC, O_RDONLY);
    if (fan_ < 0) return;
    if (fanotify_mark(fan_, FAN_MARK_ADD, events, AT_FDCWD, path.c_str()) != 0) {
      close(fan_);
      fan_ = -1;
      return;
    }
    listener_ = std::thread([this] { Answer(); });
  }
  ~PermissionsRunOut() {
    if (fan_ < 0) return;
    stop_ = true;
    listener_.join();
    close(fan_);
  }
  bool active() const { return fan_ >= 0; }

 private:
  void Answer() {
    int answered = 0;
    while (!stop_) {
      struct pollfd wait = {fan_, POLLIN, 0};
      if (poll(&wait, 1, 10) <= 0) continue;
      alignas(fanotify_event_metadata) char buffer[4096];
      const ssize_t length = read(fan_, buffer, sizeof buffer);
      auto* event = reinterpret_cast<fanotify_event_metadata*>(buffer);
      for (ssize_t left = length; FAN_EVENT_OK(event, left); event = FAN_EVENT_NEXT(event, left)) {
        struct fanotify_response response = {
            event->fd, static_cast<__u32>(answered++ < allowed_ ? FAN_ALLOW : FAN_DENY)};
        (void)!write(fan_, &response, sizeof response);
        close(event->fd);
      }
    }
  }

  int allowed_;
  int fan_ = -1;
  std::atomic<bool> stop_{false};
  std::thread listener_;
};

}  // namespace

TEST_F(ExtractAllTest, PackageThatCannotBeReopenedGivesReopenFailed) {
  WriteFile(package_, BuildPackage({{"", "a", "A"}}).bytes);
  PermissionsRunOut denial(package_, FAN_OPEN_PERM, 1);
  if (!denial.active()) GTEST_SKIP() << "needs fanotify permission events (root)";
  recorder_.reader = reader_.get();
  EXPECT_EQ(reader_->ExtractAll(target_, &Recorder::Callback, reinterpret_cast<uintptr_t>(&recorder_)),
            payload::PAYLOAD_REOPEN_FAILED);
  EXPECT_TRUE(recorder_.events.empty());
  EXPECT_FALSE(Exists(target_ + "/a"));
}

// A read that fails part-way through the directory is a read error, not a
// damaged package, and leaves no entries behind, however far it got: the
// zeros a failed read leaves may pass every check of the directory.
TEST_F(ExtractAllTest, ReadErrorInTheDirectoryIsReportedAndLeavesNoEntries) {
  WriteFile(package_, BuildPackage({{"", "a", "A"}}).bytes);
  int failedReads = 0;
  for (int allowed = 0; allowed < 16; ++allowed) {
    SCOPED_TRACE("reads allowed: " + std::to_string(allowed));
    PermissionsRunOut denial(package_, FAN_ACCESS_PERM, allowed);
    if (!denial.active()) GTEST_SKIP() << "needs fanotify permission events (root)";
    const int32_t result = reader_->ReadDirectory(package_);
    if (result == payload::PAYLOAD_OK) {
      EXPECT_EQ(reader_->GetEntryCount(), 1);
      continue;
    }
    ++failedReads;
    EXPECT_EQ(result, payload::PAYLOAD_FILE_ERROR);
    EXPECT_EQ(reader_->GetEntryCount(), 0);
    EXPECT_EQ(reader_->GetFileError().fileName(), package_);
  }
  EXPECT_GT(failedReads, 3);
}
