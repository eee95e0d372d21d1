// The recording session as the window and orvane-cli drive it: what a save writes back of the file
// that was read, the mark of unsaved changes, an open that fails, and the undo history kept through it.
#include "../hardening/AllocationFailure.h"
#include "../signal/WavBytes.h"

#include "session/RecordingSession.h"
#include "signal/WavWriter.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace wavtest;

namespace {

// An auxi payload as SDR recorders write it: times, the centre frequency at 32, a rate at 36, the rest.
Bytes AuxiPayload(uint32_t centre, size_t size = 164) {
    Bytes p(32, 0x11);
    Append32(p, centre);
    Append32(p, 2400000);
    for (size_t i = p.size(); i < size; ++i) p.push_back(uint8_t(i));
    p.resize(size);
    return p;
}

Bytes Tone16(size_t count) {
    Bytes data;
    for (size_t i = 0; i < count; ++i) Append16(data, uint16_t(int16_t((i * 2654435761u) % 20001) - 10000));
    return data;
}

// The chunks after the 48-byte header and the data of a file the writer made.
struct SavedFile {
    Bytes Header;  // 48 bytes
    Bytes Trailer; // what follows the data chunk
};

SavedFile Split(const Bytes& file, size_t dataBytes) {
    EXPECT_GE(file.size(), 48 + dataBytes);
    return {Bytes(file.begin(), file.begin() + 48), Bytes(file.begin() + 48 + long(dataBytes), file.end())};
}

uint32_t Get32(const Bytes& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (uint32_t(b[at + 3]) << 24);
}

struct CarriedCase {
    const char* Name;    // the file's name (a frequency in it counts when no auxi chunk gives one)
    int AuxiAt;          // -1: no auxi chunk; 0: before the data; 1: after it
    uint32_t AuxiCentre; // its centre-frequency field
    size_t AuxiBytes;    // its payload's size
    int64_t Typed;       // -1: none typed; else the centre frequency the user gives
    int64_t SavedCentre; // what the saved file's auxi chunk carries; 0: no chunk at all
    bool KeepsPayload;   // the rest of the payload is the file's own
};

class SaveKeepsWhatTheFileCarried : public ::testing::TestWithParam<CarriedCase> {};

TEST_P(SaveKeepsWhatTheFileCarried, CentreFrequencyInAnAuxiChunkAfterTheData) {
    const CarriedCase& c = GetParam();
    TempDir dir;
    const Bytes data = Tone16(1000);
    const Bytes fmt = Chunk("fmt ", FmtPayload(Fmt{}));
    const Bytes auxi = Chunk("auxi", AuxiPayload(c.AuxiCentre, c.AuxiBytes), -1, c.AuxiBytes % 2 == 1);
    std::vector<Bytes> chunks = {fmt, Chunk("data", data)};
    if (c.AuxiAt >= 0) chunks.insert(chunks.begin() + 1 + c.AuxiAt, auxi);
    const std::string in = dir.Write(c.Name, Riff(chunks));

    RecordingSession session;
    ASSERT_TRUE(session.Open(in, {}).Opened);
    if (c.Typed >= 0) session.SetCentreFrequency(c.Typed);
    const std::string out = dir.File("saved.wav");
    ASSERT_EQ(session.Save(out).Result, kWavWriteOk);

    const Bytes saved = ReadFile(out);
    const SavedFile parts = Split(saved, data.size());
    // The header is the writer's own 48 bytes, its RIFF size counting every chunk.
    uint8_t header[48];
    WavFormatRecord record;
    record.ChannelCount = 2;
    BuildWavHeader(record, uint32_t(data.size()), header, uint32_t(parts.Trailer.size()));
    EXPECT_EQ(parts.Header, Bytes(header, header + 48));
    EXPECT_EQ(Get32(saved, 4) + 8, saved.size());
    EXPECT_TRUE(std::equal(data.begin(), data.end(), saved.begin() + 48));
    if (c.SavedCentre == 0) {
        EXPECT_EQ(parts.Trailer, Bytes());
        return;
    }
    ASSERT_GE(parts.Trailer.size(), 8u + 36u);
    EXPECT_EQ(std::string(parts.Trailer.begin(), parts.Trailer.begin() + 4), "auxi");
    const size_t payloadBytes = Get32(parts.Trailer, 4);
    EXPECT_EQ(parts.Trailer.size(), 8 + payloadBytes + payloadBytes % 2);
    EXPECT_EQ(Get32(parts.Trailer, 8 + 32), uint32_t(c.SavedCentre));
    if (c.KeepsPayload) {
        Bytes expected = AuxiPayload(uint32_t(c.SavedCentre), c.AuxiBytes);
        if (expected.size() < 36) { // too short to hold the field: lengthened with zeros, then set
            expected.resize(164, 0);
            std::memcpy(expected.data() + 32, saved.data() + 48 + data.size() + 8 + 32, 4);
            EXPECT_EQ(Get32(expected, 32), uint32_t(c.SavedCentre));
        }
        EXPECT_EQ(Bytes(parts.Trailer.begin() + 8, parts.Trailer.begin() + 8 + long(payloadBytes)), expected);
    } else {
        EXPECT_EQ(payloadBytes, 164u);
    }
    // The reader takes it back, from the chunk, with no note about the header.
    RecordingSession again;
    const ReadOutcome read = again.Open(out, {});
    EXPECT_EQ(read.Status, " Bytes : 2000 16 Bit Data");
    EXPECT_EQ(again.Description().CentreFrequency, c.SavedCentre);
}

INSTANTIATE_TEST_SUITE_P(Files, SaveKeepsWhatTheFileCarried,
                         ::testing::Values(CarriedCase{"before.wav", 0, 7050000, 164, -1, 7050000, true},
                                           CarriedCase{"after.wav", 1, 14074000, 164, -1, 14074000, true},
                                           CarriedCase{"odd.wav", 0, 7050000, 41, -1, 7050000, true},
                                           CarriedCase{"typed.wav", 0, 7050000, 164, 145800000, 145800000,
                                                       true},
                                           CarriedCase{"rec_7050kHz.wav", -1, 0, 0, -1, 7050000, false},
                                           CarriedCase{"short_7050kHz.wav", 0, 0, 20, -1, 7050000, true},
                                           CarriedCase{"plain.wav", -1, 0, 0, -1, 0, false},
                                           CarriedCase{"none.wav", 0, 7050000, 164, 0, 0, false}),
                         [](const auto& info) {
                             std::string name = info.param.Name;
                             return name.substr(0, name.find('.'));
                         });

// A file of more than 16 bits is saved as 16-bit PCM, and the first save of it says so, once.
TEST(RecordingSessionSave, ASourceWiderThanTheStoreIsNamedAtItsFirstSave) {
    TempDir dir;
    Bytes data;
    for (int i = 0; i < 300; ++i) Append32(data, uint32_t(i * 1000));
    const std::string in =
        dir.Write("f.wav", Canonical(Fmt{.Tag = 3, .Channels = 1, .BlockAlign = 4, .Bits = 32}, data));
    RecordingSession session;
    ASSERT_TRUE(session.Open(in, {}).Opened);
    EXPECT_EQ(SourceFormatName(session.Description().SourceFormat), "float32");
    EXPECT_EQ(session.Save(dir.File("a.wav")).FormatNote,
              " Ready: written as 16-bit PCM (the file had 32-bit float samples).");
    EXPECT_EQ(session.Save(dir.File("b.wav")).FormatNote, std::nullopt);
    // A 16-bit file never says it.
    ASSERT_TRUE(session.Open(dir.File("a.wav"), {}).Opened);
    EXPECT_EQ(session.Save(dir.File("c.wav")).FormatNote, std::nullopt);
}

class RecordingSessionTest : public ::testing::Test {
protected:
    TempDir dir;
    RecordingSession session;
    std::string file;

    void SetUp() override {
        file = dir.Write("r.wav", Canonical(Fmt{.Channels = 1, .BlockAlign = 2}, Tone16(4000)));
        ASSERT_TRUE(session.Open(file, {}).Opened);
        session.SetUndoBudget(size_t{1} << 30); // a session keeps no undo states unless given the memory
    }
    void Apply(EditCommand command, const std::string& text = "") {
        EditCommandInput input;
        input.Text = text;
        const EditPreparation preparation = session.Prepare(command, input);
        ASSERT_TRUE(preparation.Edit.has_value()) << preparation.Refusal;
        session.Apply(*preparation.Edit);
    }
    std::vector<int16_t> Values() const {
        return std::vector<int16_t>(session.Store().Samples.begin(), session.Store().Samples.end());
    }
};

// The mark follows the store: any edit sets it, undo back to the state read or saved clears it.
TEST_F(RecordingSessionTest, TheModifiedMarkFollowsTheStoreThroughEditsUndoAndSaves) {
    EXPECT_FALSE(session.Modified());
    EditCommandInput tooHigh;
    tooHigh.Text = "999999";
    EXPECT_NE(session.Prepare(EditCommand::LPF, tooHigh).Refusal, "");
    EXPECT_FALSE(session.Modified()); // a refusal changes nothing
    Apply(EditCommand::Amp);
    EXPECT_TRUE(session.Modified());
    session.Undo();
    EXPECT_FALSE(session.Modified());
    session.Redo();
    EXPECT_TRUE(session.Modified());
    Apply(EditCommand::ASR, "8000"); // a relabelled rate is a change of the file too
    ASSERT_EQ(session.Save(file).Result, kWavWriteOk);
    EXPECT_FALSE(session.Modified());
    session.Undo();
    EXPECT_TRUE(session.Modified()); // the file holds the state after ASR
    session.Redo();
    EXPECT_FALSE(session.Modified());
    session.SetCentreFrequency(7050000); // metadata for the run, not an edit of the values
    EXPECT_FALSE(session.Modified());
}

struct FailedOpen {
    const char* Name;
    std::function<std::string(const TempDir&)> Target; // the file to open
    int64_t LargestFile;
    bool OutOfMemory;
    const char* Status;
    const char* Reason;
};

class AFailedOpen : public RecordingSessionTest, public ::testing::WithParamInterface<FailedOpen> {};

TEST_P(AFailedOpen, ChangesNothing) {
    const FailedOpen& c = GetParam();
    if (c.OutOfMemory && !FailAllocationsFrom::Available()) GTEST_SKIP() << "allocations cannot fail here";
    session.SetCentreFrequency(7050000);
    Apply(EditCommand::Amp);
    const std::vector<int16_t> before = Values();
    const std::string target = c.Target(dir);
    ReadOutcome outcome;
    if (c.OutOfMemory) {
        FailAllocationsFrom failing(100000);
        EXPECT_THROW(session.Open(target, {c.LargestFile}), std::bad_alloc);
    } else {
        outcome = session.Open(target, {c.LargestFile});
        EXPECT_FALSE(outcome.Opened);
        EXPECT_EQ(outcome.Status, c.Status);
        EXPECT_EQ(outcome.Reason, c.Reason);
    }
    EXPECT_EQ(Values(), before);
    EXPECT_EQ(session.Store().FileName, file);
    EXPECT_EQ(session.Description().FileName, file);
    EXPECT_EQ(session.Description().CentreFrequency, 7050000);
    EXPECT_TRUE(session.Modified());
    EXPECT_EQ(session.History().UndoName(), "Amp");
}

INSTANTIATE_TEST_SUITE_P(
    Reads, AFailedOpen,
    ::testing::Values(
        FailedOpen{"Missing", [](const TempDir& d) { return d.File("missing.wav"); }, kMaxWavFileSize, false,
                   " ERROR: File Access.", "No such file or directory"},
        FailedOpen{"Folder", [](const TempDir& d) { return d.Path().string(); }, kMaxWavFileSize, false,
                   " ERROR: File Access.", "Is a directory"},
        FailedOpen{"TooLarge",
                   [](const TempDir& d) { return d.Write("big.wav", Canonical(Fmt{}, Tone16(100))); }, 100,
                   false, " ERROR: File Size Out of Range.",
                   "the file has 244 bytes, more than the largest file (100 bytes)"},
        FailedOpen{"OutOfMemory",
                   [](const TempDir& d) { return d.Write("huge.wav", Canonical(Fmt{}, Tone16(200000))); },
                   kMaxWavFileSize, true, "", ""}),
    [](const auto& info) { return std::string(info.param.Name); });

// An edit whose state before it cannot be copied clears the history: Undo then can never skip it and
// bring back a state from before an edit that is still in the store.
TEST_F(RecordingSessionTest, AnEditWhoseCopyFailsLeavesNothingToUndo) {
    if (!FailAllocationsFrom::Available()) GTEST_SKIP() << "allocations cannot fail here";
    Apply(EditCommand::Amp);
    const std::vector<int16_t> afterAmp = Values();
    AppliedEdit applied;
    {
        const EditPreparation invert = session.Prepare(EditCommand::Invert, {});
        ASSERT_TRUE(invert.Edit.has_value()) << invert.Refusal;
        FailAllocationsFrom failing(4000);
        applied = session.Apply(*invert.Edit);
    }
    EXPECT_FALSE(applied.Undoable);
    EXPECT_NE(Values(), afterAmp); // the edit ran
    EXPECT_EQ(session.History().UndoName(), "");
    EXPECT_FALSE(session.Undo());
}

// When the budget shrinks, the redo states go before the undo states, the farthest first.
TEST_F(RecordingSessionTest, ALowerBudgetLetsRedoStatesGoFirst) {
    const size_t state = session.Store().Samples.size() * sizeof(int16_t);
    session.SetUndoBudget(3 * state);
    Apply(EditCommand::Amp);
    Apply(EditCommand::Fade);
    Apply(EditCommand::Invert);
    ASSERT_TRUE(session.Undo());
    ASSERT_TRUE(session.Undo()); // undo: Amp; redo: Fade, then Invert
    session.SetUndoBudget(2 * state);
    EXPECT_EQ(session.History().UndoName(), "Amp");
    EXPECT_EQ(session.History().RedoName(), "Fade");
    EXPECT_TRUE(session.Redo());
    EXPECT_EQ(session.History().RedoName(), "");
    session.SetUndoBudget(state);
    EXPECT_EQ(session.History().UndoName(), "Fade"); // no redo state left: the oldest undo state goes
    EXPECT_TRUE(session.Undo());
    EXPECT_FALSE(session.Undo());
}

} // namespace

// A Tune by f moves a known centre frequency by +f, through undo and redo, so radio frequencies read
// the same; a typed centre is that of the recording as it stands; without a centre none appears.
TEST(RecordingSessionTune, TheCentreFrequencyFollowsTheTuning) {
    TempDir dir;
    RecordingSession session;
    session.SetUndoBudget(size_t{1} << 30);
    ASSERT_TRUE(
        session.Open(dir.Write("iq.wav", Canonical(Fmt{.Channels = 2, .BlockAlign = 4}, Tone16(4000))), {})
            .Opened);
    const auto tune = [&](const std::string& hz) {
        EditCommandInput input;
        input.Text = hz;
        const EditPreparation preparation = session.Prepare(EditCommand::Tune, input);
        ASSERT_TRUE(preparation.Edit.has_value()) << preparation.Refusal;
        session.Apply(*preparation.Edit);
    };
    const auto centre = [&] { return session.Description().CentreFrequency; };
    tune("2000");
    EXPECT_EQ(centre(), 0); // none known: none made up
    session.SetCentreFrequency(7050000);
    tune("-1000.4");
    EXPECT_EQ(centre(), 7049000);
    tune("500");
    EXPECT_EQ(centre(), 7049500);
    session.Undo();
    EXPECT_EQ(centre(), 7049000);
    session.Undo();
    EXPECT_EQ(centre(), 7050000);
    session.Redo();
    EXPECT_EQ(centre(), 7049000);
    session.SetCentreFrequency(14000000); // the centre of the recording as tuned
    session.Undo();
    EXPECT_EQ(centre(), 14001000);
    session.Undo();
    EXPECT_EQ(centre(), 13999000); // as read: 2000 Hz below the state after the first tune
}

// Extract writes the band as a recording of its own whose centre frequency makes its radio frequencies
// those of the source, and leaves the session's recording as it was.
TEST(RecordingSessionExtract, TheNewFileCarriesTheBandsCentreFrequency) {
    TempDir dir;
    RecordingSession session;
    ASSERT_TRUE(
        session
            .Open(dir.Write("iq_7050kHz.wav", Canonical(Fmt{.Channels = 2, .BlockAlign = 4}, Tone16(96000))),
                  {})
            .Opened);
    const uint64_t revision = session.Store().Revision;
    const ExtractOutcome outcome = session.Extract({0.25, 0.75, 1000, 3000}, dir.File("band.wav"));
    ASSERT_EQ(outcome.Refusal, "");
    ASSERT_EQ(outcome.Saved.Result, kWavWriteOk);
    EXPECT_EQ(outcome.CentreFrequency, 7052000);
    EXPECT_EQ(session.Store().Revision, revision);
    EXPECT_FALSE(session.Modified());

    RecordingSession band;
    ASSERT_TRUE(band.Open(dir.File("band.wav"), {}).Opened);
    EXPECT_EQ(band.Description().CentreFrequency, 7052000);
    EXPECT_EQ(band.Store().ChannelCount, 2);
    EXPECT_EQ(band.Store().SampleRate, 3000); // 48000 / 16: the largest k with room for 1.25 x 2000 Hz
    EXPECT_EQ(band.Store().Samples.size(), 2u * 1500); // half a second

    EXPECT_NE(session.Extract({0.25, 0.75, 3000, 1000}, dir.File("none.wav")).Refusal, "");
    EXPECT_FALSE(std::filesystem::exists(dir.File("none.wav")));
}
