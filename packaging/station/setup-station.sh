#!/usr/bin/env bash
# Makes this Debian 12 computer a locked exam station. Run as root from this
# folder, with the package beside it or given: ./setup-station.sh vorn_1.0.0_amd64.deb
# A station of an exam lab is given its server's connection string:
#   ./setup-station.sh --server "host=lab-server dbname=vorn user=vorn_station password=… sslmode=verify-full"
#   - installs the package, LightDM and the X server;
#   - makes the account "exam" (no password) and the working directory /srv/vorn
#     (with --server: its station.ini, readable by "exam" only);
#   - logs "exam" in at boot into a session that runs only the program;
#   - switches off console switching, the server kill keys, SysRq and the
#     power and suspend keys.
set -euo pipefail
cd "$(dirname "$0")"
server=
if [ "${1:-}" = "--server" ]; then
  server=${2:?"usage: $0 [--server CONNECTION] [vorn_<version>_amd64.deb]"}
  shift 2
fi
deb=${1:-$(ls vorn_*_amd64.deb 2>/dev/null | head -n1)}
[ -n "$deb" ] && [ -f "$deb" ] || { echo "usage: $0 [--server CONNECTION] vorn_<version>_amd64.deb" >&2; exit 2; }
[ "$(id -u)" -eq 0 ] || { echo "$0: run as root" >&2; exit 2; }

export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends lightdm xserver-xorg x11-xserver-utils "$(realpath "$deb")"

id exam >/dev/null 2>&1 || adduser --disabled-password --gecos "Exam station" exam
# LightDM logs in password-less accounts of this group without asking.
getent group autologin >/dev/null || groupadd -r autologin
gpasswd -a exam autologin >/dev/null

install -d -o exam -g exam -m 0700 /srv/vorn
if [ -n "$server" ]; then
  # The lab's stores are on its server; the password must not be readable by others.
  umask 077
  printf '[server]\nconnection = %s\n' "$server" > /srv/vorn/station.ini
  chown exam:exam /srv/vorn/station.ini
  chmod 600 /srv/vorn/station.ini
elif [ ! -e /srv/vorn/personnel.mdb ]; then
  runuser -u exam -- vorn-setup /srv/vorn
fi

install -D -m 0644 10-vorn-station.conf /etc/X11/xorg.conf.d/10-vorn-station.conf
install -D -m 0644 50-vorn-station.conf /etc/lightdm/lightdm.conf.d/50-vorn-station.conf
install -D -m 0644 vorn-station.desktop /usr/share/xsessions/vorn-station.desktop
install -D -m 0755 vorn-station-session /usr/local/sbin/vorn-station-session
install -D -m 0644 vorn-station-logind.conf /etc/systemd/logind.conf.d/vorn-station.conf
install -D -m 0644 90-vorn-station-sysrq.conf /etc/sysctl.d/90-vorn-station-sysrq.conf
sysctl -q -p /etc/sysctl.d/90-vorn-station-sysrq.conf || true
systemctl set-default graphical.target >/dev/null
systemctl enable lightdm >/dev/null 2>&1 || true
echo "The exam station is set up; restart the computer to start it."
