# Sourced by the bench scripts, with $work (their scratch folder) and $build
# set: a private per-user folder (XDG_CONFIG_HOME, $config) whose Setting.ini
# names a devserver on a free loopback port ($port, process $server), its CA
# trusted for time stamps. The caller stops $server.
export XDG_CONFIG_HOME="$work/config"
config=$XDG_CONFIG_HOME/TAVIK/qzv
mkdir -p "$config/trust/tsa"
"$build/tools/devserver/devserver" --port 0 --write-ca "$config/trust/tsa/ca.pem" \
  > "$work/port" 2>/dev/null &
server=$!
while [ ! -s "$work/port" ]; do sleep 0.1; done
port=$(head -n 1 "$work/port")
printf '[BidRuleFileURL]\nurl=http://127.0.0.1:%s/rules\n[TimeStampURL]\nurl=http://127.0.0.1:%s/tsa\n' \
  "$port" "$port" > "$config/Setting.ini"
