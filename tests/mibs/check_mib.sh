#!/bin/sh
# Checks QX9304.mib with net-snmp's snmptranslate, loading no other module:
#  - the module loads without any warning or error, also with extra warnings;
#  - every name of names.txt resolves, under 1.3.6.1.2.1.1 (system group) or
#    under 1.3.6.1.4.1.32473, to its own OID, and no two names share an OID;
#  - every object and notification the module defines is listed in names.txt;
#  - the traps 6 to 22 are enterprise 1.3.6.1.4.1.32473, specific codes 6-22;
#  - selected objects have the syntax, access and trap objects the programs
#    and the agent rely on.
#
# usage: check_mib.sh SNMPTRANSLATE MIBFILE NAMESFILE

translate=$1
mib=$2
names=$3

if [ ! -x "$translate" ]; then
    echo "FAIL: snmptranslate not found (got '$translate'); install package snmp"
    exit 1
fi
if [ ! -r "$mib" ] || [ ! -r "$names" ]; then
    echo "FAIL: cannot read '$mib' or '$names'"
    exit 1
fi

work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# -M /dev/null: no MIB directory, so only this module is known.
st() {
    "$translate" -M /dev/null -m "$mib" "$@"
}

# 1. Whole module, default and extra warning levels: stderr must stay empty.
for level in "" -PW; do
    # shellcheck disable=SC2086
    st $level -Tp >"$work/tree" 2>"$work/err"
    if [ -s "$work/err" ]; then
        fail "loading the module${level:+ with $level} printed:"
        cat "$work/err"
    fi
done
grep -q 'qx9304(32473)' "$work/tree" || fail "-Tp shows no qx9304(32473) node"
grep -q 'system(1)' "$work/tree" || fail "-Tp shows no system(1) node"

# 2. Every listed name resolves to its place; remember the OIDs.
sed -e 's/#.*//' -e 's/[[:space:]]//g' "$names" | grep -v '^$' >"$work/names"
: >"$work/oids"
while read -r name; do
    oid=$(st -Pu -IR -On "$name" 2>"$work/err")
    if [ $? -ne 0 ] || [ -s "$work/err" ]; then
        fail "$name does not resolve: $(cat "$work/err")"
        continue
    fi
    case $name in
        sysDescr|sysObjectID|sysUpTime|sysContact|sysName|sysLocation)
            prefix=.1.3.6.1.2.1.1. ;;
        *)  prefix=.1.3.6.1.4.1.32473. ;;
    esac
    case $oid in
        "$prefix"*) ;;
        *) fail "$name resolves to $oid, not under $prefix" ;;
    esac
    back=$(st -Pu "$oid" 2>/dev/null)
    [ "$back" = "QX9304-MIB::$name" ] || fail "$oid translates back to '$back', not $name"
    echo "$oid $name" >>"$work/oids"
done <"$work/names"

dups=$(cut -d' ' -f1 "$work/oids" | sort | uniq -d)
[ -z "$dups" ] || fail "OIDs used by more than one name: $dups"

# 3. Nothing defined in the module is missing from names.txt.
sed -n 's/^\([A-Za-z][A-Za-z0-9-]*\)[[:space:]]\{1,\}\(OBJECT-TYPE\|NOTIFICATION-TYPE\).*/\1/p' "$mib" |
while read -r defined; do
    grep -qx "$defined" "$work/names" || echo "$defined"
done >"$work/unlisted"
if [ -s "$work/unlisted" ]; then
    fail "defined in the module but not in names.txt: $(tr '\n' ' ' <"$work/unlisted")"
fi

# 4. Trap codes: 1.3.6.1.4.1.32473.0.N is a listed notification for 6..22.
n=6
while [ $n -le 22 ]; do
    label=$(st -Pu ".1.3.6.1.4.1.32473.0.$n" 2>/dev/null)
    short=${label#QX9304-MIB::}
    if [ "$short" = "$label" ] || ! grep -qx "$short" "$work/names"; then
        fail "trap code $n translates to '$label'"
    elif ! st -Pu -Td ".1.3.6.1.4.1.32473.0.$n" 2>/dev/null | grep -q 'NOTIFICATION-TYPE'; then
        fail "trap code $n ($short) is not a notification"
    fi
    n=$((n + 1))
done
for n in 5 23; do
    label=$(st -Pu ".1.3.6.1.4.1.32473.0.$n" 2>/dev/null)
    [ "$label" = "QX9304-MIB::qx9304Traps.$n" ] || fail "unexpected trap code $n: $label"
done

# 5. Syntax, access and trap objects: name, -Td field, expected text.
tab=$(printf '\t')
while IFS="$tab" read -r name field expected; do
    [ -n "$name" ] || continue
    got=$(st -Pu -IR -Td "$name" 2>/dev/null |
          sed -n "s/^  $field$tab\(.*\)/\1/p" | sed 's/[[:space:]]*$//')
    [ "$got" = "$expected" ] || fail "$name $field is '$got', expected '$expected'"
done <<EOF
operIPAddress	SYNTAX	IpAddress
operIPMask	SYNTAX	IpAddress
operGateway	SYNTAX	IpAddress
operIPAddress	MAX-ACCESS	read-write
operEthernetAddress	SYNTAX	OCTET STRING (6)
operEthernetAddress	MAX-ACCESS	read-only
sysDeviceInfo	SYNTAX	OCTET STRING (92)
sysDeviceInfo	MAX-ACCESS	read-write
TestModeRadioConfiguration	SYNTAX	OCTET STRING (47)
AssociatedSTAsInfo	SYNTAX	OCTET STRING (24 | 50)
AssociatedSTAsInfo	MAX-ACCESS	read-write
wirelessKnownAPs	SYNTAX	OCTET STRING (768)
wirelessStatistics	SYNTAX	OCTET STRING (88)
wirelessStatistics	MAX-ACCESS	read-only
EthRxStatistics	SYNTAX	OCTET STRING (64)
EthTxStatistics	SYNTAX	OCTET STRING (56)
AuthorizedMac	SYNTAX	OCTET STRING (12)
TestModeCommandStruct	SYNTAX	OCTET STRING (21)
TestModeStatistics	SYNTAX	OCTET STRING (12)
defaultWEPKey1	SYNTAX	OCTET STRING (5 | 13)
bridgeRemoteBridgeBSSID	SYNTAX	OCTET STRING (6)
operESSID	SYNTAX	OCTET STRING (1..32)
AuthorizedAdminPass	SYNTAX	OCTET STRING (0..16)
AssociatedSTAsNum	SYNTAX	Gauge32 (0..2007)
AssociatedSTAsNum	MAX-ACCESS	read-only
sysUpTime	SYNTAX	TimeTicks
sysObjectID	SYNTAX	OBJECT IDENTIFIER
operChannelID	SYNTAX	INTEGER (1..14)
operChannelID	MAX-ACCESS	read-write
operRTSThreshold	SYNTAX	INTEGER (0..2347)
operFragmentationThreshold	SYNTAX	INTEGER (256..2346)
operForwarbBcast	SYNTAX	INTEGER {on(1), off(2)}
AuthorizationMacEnable	SYNTAX	INTEGER {on(1), off(2)}
AuthorizationMacEnable	MAX-ACCESS	read-write
operConfigurationPort	SYNTAX	INTEGER {both(0), ethernet(1), wireless(2)}
bridgeOperationalMode	SYNTAX	INTEGER {wbridgePointToMultiPoint(1), accessPoint(2), accessPointClient(3), wbridgePointToPoint(4), wirelessRepeater(5)}
privacyDefaultWEPKeyID	SYNTAX	INTEGER (0..4)
sysReset	MAX-ACCESS	read-write
TestModeOnOff	MAX-ACCESS	read-write
newIPAddressTrap	OBJECTS	{ operIPAddress }
bssRoamedTrap	OBJECTS	{ trapBSSID }
stationAssociatedTrap	OBJECTS	{ trapStationMac }
stationNotAuthorizedTrap	OBJECTS	{ trapStationMac }
EOF

if [ $failures -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "QX9304.mib: $(wc -l <"$work/names") names resolved, traps 6-22 in place, no warnings"
exit 0
