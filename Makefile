# Lumarest: set-up, build, run and test in two commands.
#   make run [FILE=path]   install what is missing, build, start the player
#   make test              install what is missing, build, run every test

BUILD ?= build
JOBS  ?= $(shell nproc)

# Debian 12 packages: build tools and libraries, media plugins, and what the
# headless tests and `make run` without a display need.
DEB_PACKAGES := build-essential cmake pkg-config \
    qt6-base-dev libsqlite3-dev libgtest-dev \
    libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev libgstreamer-plugins-bad1.0-dev libxcb1-dev \
    gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-bad \
    gstreamer1.0-libav gstreamer1.0-x gstreamer1.0-gl gstreamer1.0-tools \
    xvfb xauth openbox imagemagick xdotool x11-utils tesseract-ocr

.PHONY: all deps configure build run test bench clean

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

test: build
	@cd $(BUILD) && ctest --output-on-failure -j 2 --timeout 300

bench: build
	@for b in $(BUILD)/bench/bench_*; do [ -x "$$b" ] && QT_QPA_PLATFORM=offscreen "$$b"; done

clean:
	rm -rf $(BUILD)
