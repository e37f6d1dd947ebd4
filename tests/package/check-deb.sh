#!/bin/sh
# Builds the two .debs, installs them into a scratch root with dpkg, and
# checks that each holds exactly its own files, where Linux programs keep
# them: tallisk the window, tallisk-cli and the udev rule; tallisk-demo the
# demo and the serial reader simulator.
# Usage: check-deb.sh BUILD_DIR SCRATCH_DIR
set -eu
# dpkg looks for ldconfig and start-stop-daemon on the PATH, which for a
# normal user on Debian lacks the sbin folders.
PATH="$PATH:/usr/sbin:/sbin"
export PATH
build=$1
scratch=$2
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
rm -rf "$scratch"
mkdir -p "$scratch/out" "$scratch/root/var/lib/dpkg/info" "$scratch/root/var/lib/dpkg/updates"
touch "$scratch/root/var/lib/dpkg/status"

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1 ||
    { cat "$scratch/cpack.log"; exit 1; }
status=0

# The two packages and nothing else: a file installed without a component
# would come out as a third.
made=$(cd "$scratch/out" && ls ./*.deb | sed 's|^\./||; s|_.*||' | sort | tr '\n' ' ')
[ "$made" = "tallisk tallisk-demo " ] || { echo "packages made: $made(not tallisk tallisk-demo)"; status=1; }
deb_of() { ls "$scratch"/out/"$1"_*.deb; }

# The dependencies are those of the machine's libraries, not installed in the scratch root.
dpkg --root="$scratch/root" --force-not-root --force-depends --force-script-chrootless \
    -i "$(deb_of tallisk)" "$(deb_of tallisk-demo)" >"$scratch/dpkg.log" 2>&1 ||
    { cat "$scratch/dpkg.log"; exit 1; }

# Every file of each package, and no other.
icons() {
    for size in 16x16 32x32 48x48 64x64 128x128; do
        echo "$1 /usr/share/icons/hicolor/$size/apps/$2.png"
    done
    echo "$1 /usr/share/icons/hicolor/scalable/apps/$2.svg"
}
{
    cat <<'EOF'
tallisk /usr/bin/tallisk
tallisk /usr/bin/tallisk-cli
tallisk /usr/share/man/man1/tallisk.1.gz
tallisk /usr/share/man/man1/tallisk-cli.1.gz
tallisk /usr/share/doc/tallisk/configuration-file.md
tallisk /usr/share/bash-completion/completions/tallisk-cli
tallisk /usr/share/zsh/vendor-completions/_tallisk-cli
tallisk /usr/share/doc/tallisk/copyright
tallisk /usr/share/doc/tallisk/changelog.gz
tallisk /usr/lib/udev/rules.d/70-tallisk.rules
tallisk /usr/share/applications/org.tallisk.Tallisk.desktop
tallisk /usr/share/metainfo/org.tallisk.Tallisk.metainfo.xml
tallisk-demo /usr/bin/tallisk-demo
tallisk-demo /usr/bin/tallisk-serial-sim
tallisk-demo /usr/share/man/man1/tallisk-demo.1.gz
tallisk-demo /usr/share/man/man1/tallisk-serial-sim.1.gz
tallisk-demo /usr/share/doc/tallisk-demo/copyright
tallisk-demo /usr/share/doc/tallisk-demo/changelog.gz
tallisk-demo /usr/share/applications/org.tallisk.TalliskDemo.desktop
tallisk-demo /usr/share/metainfo/org.tallisk.TalliskDemo.metainfo.xml
EOF
    icons tallisk org.tallisk.Tallisk
    icons tallisk-demo org.tallisk.TalliskDemo
} >"$scratch/expected"

files_of() {
    dpkg --root="$scratch/root" -L "$1" | while read -r file; do
        [ -f "$scratch/root$file" ] && echo "$file"
    done | sort
}
for package in tallisk tallisk-demo; do
    awk -v p="$package" '$1 == p { print $2 }' "$scratch/expected" | sort >"$scratch/$package.wanted"
    files_of "$package" >"$scratch/$package.files"
    for file in $(comm -23 "$scratch/$package.wanted" "$scratch/$package.files"); do
        echo "$package: missing $file"
        status=1
    done
    for file in $(comm -13 "$scratch/$package.wanted" "$scratch/$package.files"); do
        echo "$package: not its file: $file"
        status=1
    done
    for file in $(cat "$scratch/$package.files"); do
        [ -s "$scratch/root$file" ] || { echo "$package: empty $file"; status=1; }
    done
done

# What the build installs, all of it, is in one package or the other: CPack
# leaves out a file installed without a component.
cmake --install "$build" --prefix "$scratch/all" >"$scratch/install.log" 2>&1 ||
    { cat "$scratch/install.log"; exit 1; }
(cd "$scratch/all" && find . -type f | sed 's|^\.|/usr|' | sort) >"$scratch/installed"
sort "$scratch/tallisk.files" "$scratch/tallisk-demo.files" >"$scratch/packaged"
for file in $(comm -23 "$scratch/installed" "$scratch/packaged"); do
    echo "installed, but in no package: $file"
    status=1
done

for binary in tallisk tallisk-demo tallisk-serial-sim tallisk-cli; do
    [ -x "$scratch/root/usr/bin/$binary" ] || { echo "not executable: $binary"; status=1; }
    # Each manual page is gzip data that carries the program's exit statuses.
    page="$scratch/root/usr/share/man/man1/$binary.1.gz"
    gzip -dc "$page" 2>/dev/null | grep -q '^\.SH "EXIT STATUS"' ||
        { echo "manual page without its exit statuses: $binary"; status=1; }
done
for section in '"CONFIGURATION FILE"' COMMANDS '"JSON OUTPUT"' ENVIRONMENT FILES EXAMPLES; do
    gzip -dc "$scratch/root/usr/share/man/man1/tallisk-cli.1.gz" | grep -q "^\.SH $section\$" ||
        { echo "tallisk-cli's manual page has no $section section"; status=1; }
done

# A desktop entry starts a program of its own package and shows an icon of it.
for package in tallisk tallisk-demo; do
    for entry in $(grep '^/usr/share/applications/' "$scratch/$package.files"); do
        program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$scratch/root$entry")
        icon=$(sed -n 's/^Icon=//p' "$scratch/root$entry")
        grep -qx "/usr/bin/$program" "$scratch/$package.files" ||
            { echo "$entry: Exec=$program, not a program of $package"; status=1; }
        grep -q "^/usr/share/icons/hicolor/.*/apps/$icon\.\(png\|svg\)$" "$scratch/$package.files" ||
            { echo "$entry: Icon=$icon, not an icon of $package"; status=1; }
    done
done

# A field's entries one a line, each without its version or alternatives' tail.
entries_of() {
    dpkg-deb -f "$(deb_of "$1")" "$2" | tr ',' '\n' | sed 's/^ *//; s/[ (].*//'
}
for library in libqt6widgets6 libhidapi-hidraw0 libudev1 libevdev2; do
    entries_of tallisk Depends | grep -qx "$library" || { echo "tallisk: not a dependency: $library"; status=1; }
done
entries_of tallisk-demo Depends | grep -qx libqt6widgets6 ||
    { echo "tallisk-demo: not a dependency: libqt6widgets6"; status=1; }
# Both show the form: each needs what no library links (the platform
# plugins, the form's font) and recommends the native Wayland window, as the
# list of dependencies says; each a whole entry of its field.
for package in tallisk tallisk-demo; do
    for wanted in "Depends runtime" "Recommends recommends"; do
        field=${wanted% *}
        for name in $(awk -v r="${wanted#* }" '$1 == r { print $2 }' "$source_dir/dependencies.txt"); do
            entries_of "$package" "$field" | grep -qx "$name" ||
                { echo "$package: not in $field: $name"; status=1; }
        done
    done
done
# The demo uses none of the utility's files: it does not pull the utility in.
for field in Depends Recommends Pre-Depends; do
    entries_of tallisk-demo "$field" | grep -qx tallisk &&
        { echo "tallisk-demo: tallisk in $field"; status=1; }
done

rules="$scratch/root/usr/lib/udev/rules.d/70-tallisk.rules"
grep -q 'ATTRS{idVendor}=="0471", ATTRS{idProduct}=="e001", TAG+="uaccess"' "$rules" ||
    { echo "udev rule wrong"; status=1; }
grep -q 'SUBSYSTEM=="input", KERNEL=="event\*", ATTRS{idVendor}=="0471", ATTRS{idProduct}=="e001", TAG+="uaccess"' \
    "$rules" || { echo "udev rule for the keyboard interface wrong"; status=1; }
# Installing and removing the utility apply the rules to a reader already plugged in.
for script in postinst postrm; do
    dpkg-deb --ctrl-tarfile "$(deb_of tallisk)" | tar -xO "./$script" 2>/dev/null |
        grep -q 'udevadm control --reload-rules' ||
        { echo "tallisk: $script does not reload the udev rules"; status=1; }
done

for package in tallisk tallisk-demo; do
    deb=$(deb_of "$package")
    # The changelog and the AppStream component name this version as their latest release.
    version=$(dpkg-deb -f "$deb" Version)
    doc="$scratch/root/usr/share/doc/$package"
    latest=$(gzip -dc "$doc/changelog.gz" | sed -n '1s/^tallisk (\([^)]*\)).*/\1/p')
    [ "$latest" = "$version" ] || { echo "$package: changelog's latest entry is '$latest', not $version"; status=1; }
    for metainfo in $(grep '^/usr/share/metainfo/' "$scratch/$package.files"); do
        release=$(grep -o '<release version="[^"]*"' "$scratch/root$metainfo" | head -n 1 | cut -d'"' -f2)
        [ "$release" = "$version" ] || { echo "$metainfo: latest release '$release', not $version"; status=1; }
    done
    head -n 1 "$doc/copyright" | grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
        { echo "$package: copyright is not in the machine-readable format"; status=1; }
    # The description has its extended part, and the maintainer an address one can write to.
    [ "$(dpkg-deb -f "$deb" Description | wc -l)" -gt 2 ] || { echo "$package: no extended description"; status=1; }
    dpkg-deb -f "$deb" Maintainer | grep -q '@localhost' && { echo "$package: maintainer at localhost"; status=1; }
done
# Each says what it is: the two summaries differ.
[ "$(dpkg-deb -f "$(deb_of tallisk)" Description | head -n 1)" != \
  "$(dpkg-deb -f "$(deb_of tallisk-demo)" Description | head -n 1)" ] ||
    { echo "both packages have the same summary"; status=1; }
exit $status
