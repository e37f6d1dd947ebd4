#!/bin/sh
# Builds the .deb, installs it into a scratch root with dpkg, and checks that
# every file lands where Linux programs keep it.
# Usage: check-deb.sh BUILD_DIR SCRATCH_DIR
set -eu
# dpkg looks for ldconfig and start-stop-daemon on the PATH, which for a
# normal user on Debian lacks the sbin folders.
PATH="$PATH:/usr/sbin:/sbin"
export PATH
build=$1
scratch=$2
rm -rf "$scratch"
mkdir -p "$scratch/out" "$scratch/root/var/lib/dpkg/info" "$scratch/root/var/lib/dpkg/updates"
touch "$scratch/root/var/lib/dpkg/status"

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1 ||
    { cat "$scratch/cpack.log"; exit 1; }
deb=$(ls "$scratch"/out/tallisk_*.deb)

# The dependencies are those of the machine's libraries, not installed in the scratch root.
dpkg --root="$scratch/root" --force-not-root --force-depends --force-script-chrootless -i "$deb" \
    >"$scratch/dpkg.log" 2>&1 || { cat "$scratch/dpkg.log"; exit 1; }

status=0
for file in \
    /usr/bin/tallisk \
    /usr/bin/tallisk-demo \
    /usr/bin/tallisk-serial-sim \
    /usr/bin/tallisk-cli \
    /usr/share/man/man1/tallisk.1.gz \
    /usr/share/man/man1/tallisk-demo.1.gz \
    /usr/share/man/man1/tallisk-serial-sim.1.gz \
    /usr/share/man/man1/tallisk-cli.1.gz \
    /usr/share/doc/tallisk/configuration-file.md \
    /usr/share/doc/tallisk/copyright \
    /usr/share/doc/tallisk/changelog.gz \
    /usr/lib/udev/rules.d/70-tallisk.rules \
    /usr/share/applications/org.tallisk.Tallisk.desktop \
    /usr/share/metainfo/org.tallisk.Tallisk.metainfo.xml \
    /usr/share/applications/org.tallisk.TalliskDemo.desktop \
    /usr/share/metainfo/org.tallisk.TalliskDemo.metainfo.xml \
    /usr/share/icons/hicolor/scalable/apps/org.tallisk.Tallisk.svg \
    /usr/share/icons/hicolor/16x16/apps/org.tallisk.Tallisk.png \
    /usr/share/icons/hicolor/32x32/apps/org.tallisk.Tallisk.png \
    /usr/share/icons/hicolor/48x48/apps/org.tallisk.Tallisk.png \
    /usr/share/icons/hicolor/64x64/apps/org.tallisk.Tallisk.png \
    /usr/share/icons/hicolor/128x128/apps/org.tallisk.Tallisk.png; do
    if ! dpkg --root="$scratch/root" -L tallisk | grep -qx "$file" || [ ! -s "$scratch/root$file" ]; then
        echo "missing from the installed package: $file"
        status=1
    fi
done
for binary in tallisk tallisk-demo tallisk-serial-sim tallisk-cli; do
    [ -x "$scratch/root/usr/bin/$binary" ] || { echo "not executable: $binary"; status=1; }
    # Each manual page is gzip data that carries the program's exit statuses.
    page="$scratch/root/usr/share/man/man1/$binary.1.gz"
    gzip -dc "$page" 2>/dev/null | grep -q '^\.SH "EXIT STATUS"' ||
        { echo "manual page without its exit statuses: $binary"; status=1; }
done
gzip -dc "$scratch/root/usr/share/man/man1/tallisk-cli.1.gz" | grep -q '^\.SH "CONFIGURATION FILE"' ||
    { echo "tallisk-cli's manual page has no configuration file section"; status=1; }
depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6widgets6 libhidapi-hidraw0 libudev1 libevdev2; do
    echo "$depends" | grep -q "$library" || { echo "not a dependency: $library"; status=1; }
done
# Needed at run time though no library links them, and recommended for a
# native window on Wayland desktops: each a whole entry of its field, not a
# part of another name nor an alternative.
for wanted in "Depends qt6-qpa-plugins" "Depends fonts-arphic-gbsn00lp" "Recommends qt6-wayland"; do
    field=${wanted% *}
    package=${wanted#* }
    dpkg-deb -f "$deb" "$field" | tr ',' '\n' | sed 's/^ *//; s/[ (].*//' | grep -qx "$package" ||
        { echo "not in $field: $package"; status=1; }
done
grep -q 'ATTRS{idVendor}=="0471", ATTRS{idProduct}=="e001", TAG+="uaccess"' \
    "$scratch/root/usr/lib/udev/rules.d/70-tallisk.rules" || { echo "udev rule wrong"; status=1; }
grep -q 'SUBSYSTEM=="input", KERNEL=="event\*", ATTRS{idVendor}=="0471", ATTRS{idProduct}=="e001", TAG+="uaccess"' \
    "$scratch/root/usr/lib/udev/rules.d/70-tallisk.rules" || { echo "udev rule for the keyboard interface wrong"; status=1; }
# Installing and removing both apply the rules to a reader already plugged in.
for script in postinst postrm; do
    dpkg-deb --ctrl-tarfile "$deb" | tar -xO "./$script" 2>/dev/null |
        grep -q 'udevadm control --reload-rules' ||
        { echo "$script does not reload the udev rules"; status=1; }
done
# The changelog and each AppStream component name this version as their latest release.
version=$(dpkg-deb -f "$deb" Version)
doc="$scratch/root/usr/share/doc/tallisk"
latest=$(gzip -dc "$doc/changelog.gz" | sed -n '1s/^tallisk (\([^)]*\)).*/\1/p')
[ "$latest" = "$version" ] || { echo "changelog's latest entry is '$latest', not $version"; status=1; }
for metainfo in "$scratch"/root/usr/share/metainfo/*.metainfo.xml; do
    release=$(grep -o '<release version="[^"]*"' "$metainfo" | head -n 1 | cut -d'"' -f2)
    [ "$release" = "$version" ] || { echo "$metainfo: latest release '$release', not $version"; status=1; }
done
head -n 1 "$doc/copyright" | grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
    { echo "copyright is not in the machine-readable format"; status=1; }
# The description has its extended part, and the maintainer an address one can write to.
[ "$(dpkg-deb -f "$deb" Description | wc -l)" -gt 2 ] || { echo "no extended description"; status=1; }
dpkg-deb -f "$deb" Maintainer | grep -q '@localhost' && { echo "maintainer at localhost"; status=1; }
exit $status
