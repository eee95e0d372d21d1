# Orvane+ — the commands of the README. Each target first installs missing system packages: `make run`
# and `make install` only what building and running the programs need, the others also the test and
# packaging tools (scripts/install-deps.sh --run, --test).
BUILD      ?= build
BUILD_ASAN ?= build-asan
BUILD_TSAN ?= build-tsan
BUILD_FUZZ ?= build-fuzz
JOBS       ?= $(shell nproc)
DEMO       := samples/demo_iq.wav
CMAKE_FLAGS ?=

PREFIX     ?= /usr/local

.PHONY: all deps deps-run build build-programs run test test-asan test-tsan fuzz bench format clean install package

all: build

deps:
	@./scripts/install-deps.sh --test

deps-run:
	@./scripts/install-deps.sh --run

# The programs alone: a first configuration leaves out the test programs and benchmarks, whose libraries
# only the test set installs; a build folder configured by `make build` keeps them.
build-programs: deps-run
	@[ -f $(BUILD)/CMakeCache.txt ] || \
	  cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DORVANE_TESTS=OFF -DORVANE_BENCH=OFF $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

# Everything, the tests and benchmarks included: configured again when the folder was made without them.
build: deps
	@grep -qs '^ORVANE_TESTS:BOOL=ON' $(BUILD)/CMakeCache.txt && \
	  grep -qs '^ORVANE_BENCH:BOOL=ON' $(BUILD)/CMakeCache.txt || \
	  cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DORVANE_TESTS=ON -DORVANE_BENCH=ON $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

# Starts the window on the demo recording; a build without the GUI prints what the reader makes of it.
run: build-programs
	@if [ -x $(BUILD)/orvane ]; then $(BUILD)/orvane $(DEMO); else $(BUILD)/orvane-cli info $(DEMO); fi

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# The sanitizer builds compile only the test programs (and the CLI they call), not the benchmarks or tools.
# Their debug information is line tables only (-g1): enough for the sanitizers' stack traces with file
# and line, and a fifth less compile time than full -g.
SANITIZER_CMAKE := -DCMAKE_BUILD_TYPE=RelWithDebInfo "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG" \
                   -DORVANE_BENCH=OFF $(CMAKE_FLAGS)
# The test programs of the given folders of tests/ (CMake's top-level Makefile builds them in turn).
test_targets = $(foreach d,$(1),$(if $(wildcard tests/$(d)/*.cpp),--target test_$(d)))
ALL_TEST_DIRS := $(filter-out support,$(notdir $(patsubst %/,%,$(dir $(wildcard tests/*/*.cpp)))))

# Leaks inside Qt, fontconfig and the audio libraries are suppressed by name; never our own code's.
# The suite includes the random-run check of orvane-cli (tests/hardening/CliRandomRunsTest.cpp): here
# RANDOM_RUNS runs of seed RANDOM_SEED over damaged recordings, each to end with exit code 0, 1 or 2 and
# no sanitizer report. A run takes about 0.7 s of CPU here, so the default keeps CI short; the thorough
# check is `make test-asan RANDOM_RUNS=3000` (about 35 minutes of CPU).
RANDOM_RUNS ?= 300
RANDOM_SEED ?= 20251208
test-asan: deps
	cmake -S . -B $(BUILD_ASAN) -DORVANE_SANITIZE=ON $(SANITIZER_CMAKE)
	cmake --build $(BUILD_ASAN) -j $(JOBS) $(call test_targets,$(sort $(ALL_TEST_DIRS)))
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	  ORVANE_RANDOM_RUNS=$(RANDOM_RUNS) ORVANE_RANDOM_SEED=$(RANDOM_SEED) \
	  ctest --test-dir $(BUILD_ASAN) --output-on-failure -j $(JOBS)

# ThreadSanitizer on the tests whose code runs threads: the worker pool, spectrogram workers, edits that
# poll the stop flag, playback and the window's jobs. Races inside Qt's own (uninstrumented) frames are
# suppressed.
# The window's jobs run one after another on the worker pool's job thread: with the default history,
# the accesses of a long job push out the stack of a queued call the thread made earlier, and the
# suppressions below match Qt's queued calls by that stack; history_size=7 keeps it.
# Left out: the real-time sound-server test (under TSan's slowdown the stream cannot keep up; the
# playback thread's flags and messages are checked by the playback tests on the test device), and the
# two largest groups that run no thread of their own (the ruler's label layout for every FFT size and
# view, the column kernels against their plain forms at every length): a third of the time TSan's
# tests took, with nothing for it to check.
TSAN_TEST_DIRS := signal spectrogram ops session demod audio app
TSAN_EXCLUDED  := RealSoundServer\..*|EveryFFTSizeAndView/RulerLayoutTest\..*|EveryLength/ColumnKernelsTest\..*
test-tsan: deps
	cmake -S . -B $(BUILD_TSAN) -DORVANE_TSAN=ON $(SANITIZER_CMAKE)
	cmake --build $(BUILD_TSAN) -j $(JOBS) $(call test_targets,$(TSAN_TEST_DIRS))
	TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 history_size=7 suppressions=$(CURDIR)/tests/tsan.supp" \
	  ctest --test-dir $(BUILD_TSAN) --output-on-failure -j $(JOBS) \
	  -L '^($(subst $(eval) ,|,$(strip $(TSAN_TEST_DIRS))))$$' -E '^($(TSAN_EXCLUDED))$$'

# Coverage-guided fuzzing (libFuzzer, clang, ASan+UBSan) for FUZZ_SECONDS in all, shared equally by the
# targets: the WAV reader, the SigMF meta reader (every text it reads must be written back and read
# again the same), and the differential targets that run the low-pass filter, the I/Q conversion
# and the shifts (against tests/support/ReferenceOps.h) and the colour mapping, each both the fast way and the
# straightforward way, requiring the same values. The reader's inputs are at most 64 KiB and any single allocation above 1 MB fails, so a store
# larger than the file is caught.
FUZZ_SECONDS ?= 60
FUZZ_CXX     ?= clang++-14
DIFF_FUZZ_TARGETS := low_pass_fuzz iq_to_real_fuzz shift_fuzz level_colours_fuzz
FUZZ_TARGETS := wav_reader_fuzz sigmf_meta_fuzz $(DIFF_FUZZ_TARGETS)
FUZZ_EACH     = $(shell n=$$(( $(FUZZ_SECONDS) / $(words $(FUZZ_TARGETS)) )); [ $$n -ge 1 ] && echo $$n || echo 1)
FUZZ_COMPILE := $(FUZZ_CXX) -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
                -ffp-contract=off -Wall -Wextra -Wpedantic -Werror -I. -Itests
FUZZ_RUN      = -max_total_time=$(FUZZ_EACH) -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
                -artifact_prefix=$(BUILD_FUZZ)/artifacts/
READER_FLAGS := -malloc_limit_mb=1 -max_len=65536 -dict=fuzz/wav.dict
DIFF_FLAGS   := -max_len=16384
EDIT_SOURCES := ops/CheckedInput.cpp ops/StoreLevel.cpp ops/NormalizePeak.cpp ops/TLPF.cpp ops/TLPFPipeline.cpp ops/WorkerTeam.cpp \
                signal/NumberText.cpp signal/WorkerPool.cpp
EDIT_HEADERS := $(wildcard ops/*.h signal/*.h) tests/support/ReferenceOps.h fuzz/EditFuzzInput.h

FUZZ_READER_SOURCES := signal/WavReader.cpp signal/SampleDecoding.cpp signal/CentreFrequency.cpp signal/WavFormatNames.cpp \
                       signal/WorkerPool.cpp
$(BUILD_FUZZ)/wav_reader_fuzz: fuzz/WavReaderFuzz.cpp fuzz/WavReadInvariants.h $(FUZZ_READER_SOURCES) \
                               $(FUZZ_READER_SOURCES:.cpp=.h) signal/FileCursor.h signal/SignalStore.h
	@mkdir -p $(BUILD_FUZZ)
	$(FUZZ_COMPILE) fuzz/WavReaderFuzz.cpp $(FUZZ_READER_SOURCES) -o $@
# The SigMF meta reader and writer (nlohmann-json is header-only).
SIGMF_META_SOURCES := signal/SigMFMeta.cpp signal/SigMFMetaWrite.cpp signal/SigMFDatatype.cpp
SIGMF_FLAGS := -max_len=65536 -dict=fuzz/sigmf.dict
$(BUILD_FUZZ)/sigmf_meta_fuzz: fuzz/SigMFMetaFuzz.cpp $(SIGMF_META_SOURCES) signal/SigMFMeta.h signal/SigMFDatatype.h \
                               signal/Annotation.h
	@mkdir -p $(BUILD_FUZZ)
	$(FUZZ_COMPILE) fuzz/SigMFMetaFuzz.cpp $(SIGMF_META_SOURCES) -o $@
$(BUILD_FUZZ)/low_pass_fuzz: fuzz/LowPassFuzz.cpp ops/LPFFilter.cpp $(EDIT_SOURCES) $(EDIT_HEADERS)
	@mkdir -p $(BUILD_FUZZ)
	$(FUZZ_COMPILE) fuzz/LowPassFuzz.cpp ops/LPFFilter.cpp $(EDIT_SOURCES) -o $@
$(BUILD_FUZZ)/iq_to_real_fuzz: fuzz/IQToRealFuzz.cpp ops/IQToReal.cpp $(EDIT_SOURCES) $(EDIT_HEADERS)
	@mkdir -p $(BUILD_FUZZ)
	$(FUZZ_COMPILE) fuzz/IQToRealFuzz.cpp ops/IQToReal.cpp $(EDIT_SOURCES) -o $@
$(BUILD_FUZZ)/shift_fuzz: fuzz/ShiftFuzz.cpp ops/FrequencyShift.cpp $(EDIT_SOURCES) $(EDIT_HEADERS)
	@mkdir -p $(BUILD_FUZZ)
	$(FUZZ_COMPILE) fuzz/ShiftFuzz.cpp ops/FrequencyShift.cpp $(EDIT_SOURCES) -o $@
COLOUR_SOURCES := spectral/LevelColours.cpp spectral/LevelColoursAvx2.cpp
$(BUILD_FUZZ)/level_colours_fuzz: fuzz/LevelColoursFuzz.cpp $(COLOUR_SOURCES) spectral/LevelColours.h spectral/LevelToColor.h view/Color32.h
	@mkdir -p $(BUILD_FUZZ)
	$(FUZZ_COMPILE) fuzz/LevelColoursFuzz.cpp $(COLOUR_SOURCES) -o $@

fuzz: deps $(addprefix $(BUILD_FUZZ)/,$(FUZZ_TARGETS))
	@mkdir -p $(BUILD_FUZZ)/artifacts $(addprefix $(BUILD_FUZZ)/corpus-,$(FUZZ_TARGETS))
	$(BUILD_FUZZ)/wav_reader_fuzz $(FUZZ_RUN) $(READER_FLAGS) \
	  $(BUILD_FUZZ)/corpus-wav_reader_fuzz fuzz/corpus $(wildcard fuzz/regressions)
	$(BUILD_FUZZ)/sigmf_meta_fuzz $(FUZZ_RUN) $(SIGMF_FLAGS) $(BUILD_FUZZ)/corpus-sigmf_meta_fuzz fuzz/corpus-sigmf
	@for t in $(DIFF_FUZZ_TARGETS); do \
	  echo "== $$t"; $(BUILD_FUZZ)/$$t $(FUZZ_RUN) $(DIFF_FLAGS) $(BUILD_FUZZ)/corpus-$$t || exit 1; done

# The programs, the desktop entry, the icons and the manual pages under PREFIX (default /usr/local).
install: build-programs
	cmake --install $(BUILD) --prefix $(PREFIX)

# The Debian package of the Release build: $(BUILD)/orvane-plus_VERSION_ARCH.deb. CPack finds its
# dependencies with dpkg-shlibdeps (dpkg-dev, file); `lintian build/orvane-plus_*.deb` checks it.
package: build-programs
	@./scripts/install-deps.sh --test
	cd $(BUILD) && cpack -G DEB

bench: build
	@for b in $(BUILD)/bench/bench_*; do [ -x "$$b" ] || continue; echo "== $$b"; "$$b" || exit 1; done

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) $(BUILD_ASAN) $(BUILD_TSAN) $(BUILD_FUZZ)
