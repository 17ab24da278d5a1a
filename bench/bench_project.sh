# Sourced by the bench scripts, with $work set to their scratch folder:
# a private per-user folder (XDG_CONFIG_HOME, $config) and, for project P1,
# a bidder, one opener and a rules document (ASCII, so also GBK) whose
# opening time has passed, plus a 20 000-byte payload to seal.
export XDG_CONFIG_HOME="$work/config"
config=$XDG_CONFIG_HOME/TAVIK/qzv
mkdir -p "$config/trust/tsa" "$work/root/rules" "$work/bids" "$work/working"

key() { openssl genpkey -algorithm EC -pkeyopt ec_paramgen_curve:P-256 -out "$1" 2>/dev/null; }
key "$work/bidder.key"
openssl req -x509 -new -key "$work/bidder.key" -days 30 -subj "/CN=Bench Bidder/O=Bench" \
  -out "$work/bidder.pem" 2>/dev/null
key "$work/opener.key"
openssl req -x509 -new -key "$work/opener.key" -days 30 -subj "/CN=Bench Opener/O=Bench" \
  -out "$work/opener.pem" 2>/dev/null
opener=$(openssl x509 -in "$work/opener.pem" -outform DER | base64 -w 0)
printf '<?xml version="1.0" encoding="GBK"?>\n<bidenv><source><projectname>Bench</projectname>
<opentime>%s</opentime><organization>Bench</organization><rules><rule><m>1</m><n>1</n>
<openers><opener><cert>%s</cert><participate>YES</participate></opener></openers>
</rule></rules></source></bidenv>\n' "$(date -d '1 day ago' '+%Y-%m-%d 09:30:00')" "$opener" \
  > "$work/root/rules/P1.xml"
head -c 20000 /dev/urandom > "$work/payload.bin"
