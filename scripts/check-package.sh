#!/usr/bin/env bash
# The Debian package as a user meets it: built once with CPack, unpacked into a scratch root
# (the machine's /usr is left alone), and the installed programs run there as an ordinary
# user with a fresh home. Usage: scripts/check-package.sh [BUILD_DIR]
set -euo pipefail
build=$(cd "${1:-build}" && pwd)

fail() { echo "check-package: $*" >&2; exit 1; }

cd "$build"
rm -f quadrela_*.deb
cpack -G DEB >cpack-deb.log 2>&1 || { cat cpack-deb.log >&2; fail "cpack failed"; }
debs=(quadrela_*.deb)
[ -f "${debs[0]}" ] || fail "no package made"
deb="$build/${debs[0]}"

# What the package holds and needs.
contents=$(dpkg-deb -c "$deb")
for path in usr/bin/quadrela usr/bin/quadrela-cli usr/share/quadrela/dados/modelos.txt \
    usr/share/quadrela/dados/bordas.txt usr/share/applications/quadrela.desktop \
    usr/share/icons/hicolor/scalable/apps/quadrela.svg usr/share/man/man1/quadrela.1.gz \
    usr/share/man/man1/quadrela-cli.1.gz usr/share/doc/quadrela/copyright; do
  grep -q " \./$path\$" <<<"$contents" || fail "$path missing from the package"
done
if grep -Eq '/dados/(project|temp\.png|.*\.lock|cli-)' <<<"$contents"; then
  fail "the package ships what a run writes"
fi
depends=$(dpkg-deb -f "$deb" Depends)
for need in libqt6widgets6 fonts-liberation2 fonts-urw-base35; do
  grep -q "$need" <<<"$depends" || fail "Depends lacks $need: $depends"
done

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
chmod 755 "$scratch"
dpkg-deb -x "$deb" "$scratch/root"
home="$scratch/home"
mkdir -p "$home"

# A library a program opens itself is named in it as its SONAME but is not among those the
# linker records, so dpkg-shlibdeps cannot see it: its package must be in Depends by hand.
for program in "$scratch"/root/usr/bin/*; do
  linked=$(objdump -p "$program" | awk '$1 == "NEEDED" {print $2}')
  for soname in $(strings "$program" | grep -Ex 'lib[^/ ]*\.so\.[0-9]+' | sort -u); do
    grep -qx "$soname" <<<"$linked" && continue
    file=$(ldconfig -p | awk -v n="$soname" '$1 == n && !found {print $NF; found = 1}')
    [ -n "$file" ] || fail "$(basename "$program") opens $soname, which is not installed here"
    package=$(dpkg -S "$(realpath "$file")" | cut -d: -f1)
    grep -Eq "(^|[ ,])$package([ ,(]|\$)" <<<"$depends" ||
      fail "$(basename "$program") opens $soname, but Depends lacks $package: $depends"
  done
done

# As root, run as the unprivileged "nobody"; otherwise the caller is ordinary already.
as_user=()
if [ "$(id -u)" -eq 0 ]; then
  chown 65534:65534 "$home"
  as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi
run() {
  "${as_user[@]}" env -i PATH=/usr/bin:/bin HOME="$home" LANG=C.UTF-8 QT_QPA_PLATFORM=offscreen "$@"
}

usr_before=$(cd "$scratch/root" && find . -printf '%p %s %T@ %m\n' | sort)
bin="$scratch/root/usr/bin"
templates=("$scratch/root/usr/share/quadrela/dados/modelos/"*.vimel)
template=${templates[0]}

run "$bin/quadrela-cli" info "$template" >"$scratch/info.json" || fail "info failed"
grep -q '"itemCount"' "$scratch/info.json" || fail "info printed no records"
run XDG_DATA_HOME="$home/xdg" "$bin/quadrela-cli" print "$template" "$home/modelo.pdf" ||
  fail "print failed"
[ "$(head -c 4 "$home/modelo.pdf")" = "%PDF" ] || fail "print wrote no PDF"
# The program itself starts from the installed layout and quits once its first dialog shows.
run QUADRELA_QUIT_WHEN_SHOWN=1 "$bin/quadrela" 2>"$scratch/gui.log" ||
  { cat "$scratch/gui.log" >&2; fail "the program did not start"; }

usr_after=$(cd "$scratch/root" && find . -printf '%p %s %T@ %m\n' | sort)
[ "$usr_before" = "$usr_after" ] || fail "something was written under the installed tree"
for folder in "$home/.local/share/quadrela" "$home/xdg/quadrela"; do
  [ "$(stat -c %a "$folder")" = 700 ] || fail "$folder is not private"
done
[ -d "$home/.local/share/quadrela/project" ] || fail "no working folder in the user's folder"
[ -z "$(ls -d "$home"/.local/share/quadrela/cli-* "$home"/xdg/quadrela/cli-* 2>/dev/null)" ] ||
  fail "scratch folders left behind"

echo "check-package: $(basename "$deb") installs and runs as an ordinary user"
