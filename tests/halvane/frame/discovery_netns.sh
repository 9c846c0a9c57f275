#!/usr/bin/env bash
# Broadcast discovery across a real (virtual) network: three emulated access
# points and the manager, each in a network namespace of its own, joined by a
# bridge. The manager sends to 255.255.255.255, which inside its namespace
# reaches only the bridge. Exits 77 (skipped) where namespaces cannot be made.
set -u
bin=$1
id=$$
ns_br=qxbr$id; ns_mgr=qxmgr$id
aps=(qxap1$id qxap2$id qxap3$id)
addrs=(10.231.7.2 10.231.7.3 10.231.7.4)
port=161

cleanup() {
  for n in "${aps[@]}" $ns_mgr $ns_br; do
    ip netns pids "$n" 2>/dev/null | xargs -r kill 2>/dev/null
    ip netns del "$n" 2>/dev/null
  done
}
trap cleanup EXIT

if ! ip netns add $ns_br 2>/dev/null; then
  echo "SKIP: network namespaces cannot be created here (needs root and iproute2)"
  exit 77
fi
ip -n $ns_br link add br0 type bridge && ip -n $ns_br link set br0 up || { echo "SKIP: no bridge support"; exit 77; }

join() { # namespace address index
  ip netns add "$1"
  ip link add v$3$id type veth peer name p$3$id
  ip link set v$3$id netns "$1"
  ip link set p$3$id netns $ns_br
  ip -n $ns_br link set p$3$id master br0 up
  ip -n "$1" addr add "$2/24" dev v$3$id
  ip -n "$1" link set v$3$id up
  ip -n "$1" link set lo up
}
join $ns_mgr 10.231.7.1 0 || exit 1
# The limited broadcast needs a route; in this namespace it can only go to the bridge.
ip -n $ns_mgr route add default dev v0$id || exit 1
for i in 0 1 2; do
  join "${aps[$i]}" "${addrs[$i]}" $((i + 1)) || exit 1
  ip netns exec "${aps[$i]}" "$bin/apsim" --bind "${addrs[$i]}" --port $port \
      --broadcast 255.255.255.255 --mib "$bin/QX9304.mib" 2>/dev/null &
done
sleep 1

cd "$bin"
QX_NETNS_BROADCAST=255.255.255.255 QX_NETNS_PORT=$port \
QX_NETNS_AGENTS=$(IFS=,; echo "${addrs[*]}") QT_QPA_PLATFORM=offscreen \
  ip netns exec $ns_mgr "$bin/tst_discovery" scanInNetworkNamespaces
