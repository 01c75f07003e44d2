# The two everyday commands, plus benchmarks. Each one first makes sure the
# Debian packages the project builds with are installed.
BUILD     ?= build
BUILDTYPE ?= RelWithDebInfo
PACKAGES  := cmake ninja-build g++ pkg-config qt6-base-dev libsdl2-dev libmpg123-dev \
             libbenchmark-dev fonts-liberation2 appstream desktop-file-utils \
             pulseaudio pulseaudio-utils locales poppler-utils qt6-wayland \
             xvfb dbus at-spi2-core python3-pyatspi libclang-rt-14-dev
# Locales whose decimal comma the tests read numbers under.
TEST_LOCALES := de_DE tr_TR

.PHONY: all deps configure build run test test-asan fuzz bench bench-startup assets clean

all: build

deps:
	@missing=""; \
	for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'install ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  if [ "$$(id -u)" -eq 0 ]; then SUDO=""; else SUDO="sudo"; fi; \
	  $$SUDO apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $$SUDO apt-get install -y -qq --no-install-recommends $$missing; \
	fi
	@if [ "$$(id -u)" -eq 0 ]; then SUDO=""; else SUDO="sudo"; fi; \
	for l in $(TEST_LOCALES); do \
	  locale -a 2>/dev/null | grep -qx "$$l.utf8" || { echo "Generating $$l.UTF-8"; \
	    $$SUDO localedef -i $$l -f UTF-8 $$l.UTF-8 || exit 1; }; \
	done

configure: deps
	@[ -f $(BUILD)/build.ninja ] || cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILDTYPE)

build: configure
	cmake --build $(BUILD)

run: build
	./$(BUILD)/src/app/chordmoss

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy \
	  ctest --output-on-failure --timeout 300

# The whole suite again, built with AddressSanitizer and UndefinedBehaviorSanitizer;
# all but the real-time sound test, whose deadlines an instrumented build does not
# meet on a small machine (`make test` runs it). Optimised a little (-O1), as the
# sanitizers advise: unoptimised, thinning a decoded sample could take longer than
# a note waits for it, and the first Hear's test failed by turns.
ASAN_BUILD ?= build-asan
test-asan: deps
	@[ -f $(ASAN_BUILD)/build.ninja ] || cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug \
	  -DCMAKE_CXX_FLAGS="-O1 -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
	cmake --build $(ASAN_BUILD)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy \
	  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --output-on-failure --timeout 600 -E test_pulse

# Random user sessions (hundreds of actions each) against the windows for
# FUZZ_SECONDS, with clang's libFuzzer and the sanitizers; new findings are
# kept in the build folder. The fuzzer works in a directory of its own, so
# every path it is given is absolute.
FUZZ_BUILD   ?= build-fuzz
FUZZ_SECONDS ?= 60
fuzz: deps
	@$(MAKE) --no-print-directory deps PACKAGES="clang libclang-rt-14-dev"
	@[ -f $(FUZZ_BUILD)/build.ninja ] || CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja \
	  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCHORDMOSS_FUZZ=ON \
	  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined"
	cmake --build $(FUZZ_BUILD) --target fuzz_actions
	mkdir -p $(FUZZ_BUILD)/corpus
	cd $(FUZZ_BUILD) && QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	  ./tests/fuzz/fuzz_actions -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	  -max_len=4096 -len_control=0 -timeout=60 -artifact_prefix=$(abspath $(FUZZ_BUILD))/ \
	  $(abspath $(FUZZ_BUILD))/corpus $(CURDIR)/tests/fuzz/corpus

bench: build
	QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy ./$(BUILD)/bench/chordmoss_bench

# Start-up beside a bare Qt window in alternating pairs (STARTUP_PAIRS of
# them), on a private X server with a window manager (openbox) and a private
# PulseAudio server.
STARTUP_PAIRS ?= 10
bench-startup: configure
	@$(MAKE) --no-print-directory deps PACKAGES="openbox"
	cmake --build $(BUILD) --target startup_bench
	./$(BUILD)/bench/startup_bench $(STARTUP_PAIRS)

# Redraws the picture and icons and resynthesises the samples (needs lame).
assets: build
	@dpkg-query -W -f='$${Status}' lame 2>/dev/null | grep -q 'install ok installed' || \
	  { if [ "$$(id -u)" -eq 0 ]; then SUDO=""; else SUDO="sudo"; fi; \
	    $$SUDO apt-get update -qq && $$SUDO apt-get install -y -qq lame; }
	./$(BUILD)/tools/make_picture assets
	./$(BUILD)/tools/make_samples assets/samples
	cmake --build $(BUILD)

clean:
	rm -rf $(BUILD)
