# Lumarest: set-up, build, run and test in two commands.
#   make run [FILE=path]   install what is missing, build, start the player
#   make test              install what is missing, build, check the sources' format,
#                          run every test
#   make test-sanitize     every test again in a build with AddressSanitizer (leaks
#                          included) and UndefinedBehaviorSanitizer, in build-sanitize
#   make install           build, then install under PREFIX (default /usr/local), into DESTDIR if set

BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
JOBS  ?= $(shell nproc)

# Debian 12 packages: build tools and libraries, media plugins (the "ugly" set reads
# Windows Media files), and what the headless tests and `make run` without a display need
# (ffmpeg makes the tests' files of every common format).
DEB_PACKAGES := build-essential cmake pkg-config \
    qt6-base-dev libsqlite3-dev libgtest-dev zlib1g-dev \
    libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev libgstreamer-plugins-bad1.0-dev libxcb1-dev \
    gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-bad \
    gstreamer1.0-plugins-ugly gstreamer1.0-libav gstreamer1.0-x gstreamer1.0-gl gstreamer1.0-tools \
    xvfb xauth openbox imagemagick xdotool x11-utils ffmpeg tesseract-ocr gdb
# The sources' format is checked by `make test` against .clang-format.
DEB_PACKAGES += clang-format
# The desktop layer: session bus, icon drawing, and the checks of the installed
# menu entry, metainfo and manual page.
DEB_PACKAGES += dbus dbus-daemon librsvg2-bin desktop-file-utils appstream man-db groff-base
# The toolkit's WebP reader, which reads the frames of animated WebP pictures.
DEB_PACKAGES += qt6-image-formats-plugins
# The on-screen tests' Wayland session: the compositor with XWayland, and Qt's Wayland
# platform for the program.
DEB_PACKAGES += weston xwayland qt6-wayland
# The on-screen tests drive the program's sound menu as a desktop's media keys do.
DEB_PACKAGES += playerctl

PREFIX  ?= /usr/local
DESTDIR ?=

.PHONY: all deps configure build run test test-sanitize bench clean install format format-check

all: build

deps:
	@missing=""; \
	for p in $(DEB_PACKAGES); do \
	    dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	    if [ "$$(id -u)" = 0 ]; then \
	        echo "Installing:$$missing"; \
	        apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	    else \
	        echo "Missing packages; please run:"; \
	        echo "  sudo apt-get install$$missing"; \
	        exit 1; \
	    fi; \
	fi

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@if [ -n "$$DISPLAY" ] || [ -n "$$WAYLAND_DISPLAY" ]; then \
	    ./$(BUILD)/lumarest $(FILE); \
	else \
	    echo "No display: starting under Xvfb"; \
	    xvfb-run -a -s "-screen 0 1280x1024x24" sh -c 'openbox >/dev/null 2>&1 & ./$(BUILD)/lumarest $(FILE)'; \
	fi

test: build format-check
	@cd $(BUILD) && ctest --output-on-failure -j 2 --timeout 300

# Every C++ file the repository holds, as .clang-format lays it out.
SOURCES = $$(git ls-files '*.cpp' '*.h' 2>/dev/null || find app catalogue desktop platform player playlist res tests bench -name '*.cpp' -o -name '*.h')
format-check: deps
	@clang-format --dry-run -Werror $(SOURCES) && echo "Sources formatted as .clang-format says"

format: deps
	@clang-format -i $(SOURCES)

# Any sanitizer report, in a test or in a process a test started, fails its test.
# The tests' own waits and CTest's limit are stretched in that build (tests/CMakeLists.txt).
test-sanitize: deps
	@cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMAREST_SANITIZE=ON >/dev/null
	@cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	@cd $(SANITIZE_BUILD) && ctest --output-on-failure -j 2 --timeout 600

# Every benchmark runs; their TARGET lines are gathered into one table at the end.
bench: build
	@out=$(BUILD)/bench/results.txt; : > $$out; \
	for b in $(BUILD)/bench/bench_*; do \
	    [ -f "$$b" ] && [ -x "$$b" ] || continue; \
	    echo "== $$b"; \
	    QT_QPA_PLATFORM=$${QT_QPA_PLATFORM:-offscreen} "$$b" 2>&1 | tee -a $$out; \
	done; \
	sh bench/targets_table.sh $$out

install: build
	@DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD)
