#!/usr/bin/env python3
"""Builds the seed corpora of the fuzz targets (fuzz/corpus/TARGET/).

Seeds come from real traffic of our own tests plus the classic hostile cases
made from it:

    tshark -i lo -F pcap -w /tmp/suite.pcap -f 'udp or icmp'   # while tests run
    fuzz/make_corpus.py --pcap /tmp/suite.pcap --apsim build/bin/apsim \\
                        --mib mibs/QX9304.mib --out fuzz/corpus

From the capture: the answers apsim gave to the device session (one seed per
sender, prefixed with the selector and flag bytes of fuzz_session_answer),
the requests (apsim, message decoding), the traps (trap log) and the ICMP
echoes (ping reply parser). Written here: the MIB loader's and the MAC
address file loader's files. From a running apsim: the DFU replies to reads of
groups 1 and 3 and the driver requests brenlow sends. Hostile cases: every
truncation of one answer, lengths in long form, a value longer than its
varbind, object identifiers of 0 and of 129 and more sub-identifiers, deep
nesting, oversized integers and lengths.
"""

import argparse
import os
import shutil
import socket
import struct
import subprocess
import tempfile
import time

# ---- BER -----------------------------------------------------------------


def read_length(buf, pos):
    first = buf[pos]
    pos += 1
    if first < 0x80:
        return first, pos
    count = first & 0x7F
    value = int.from_bytes(buf[pos:pos + count], 'big')
    return value, pos + count


def parse(buf, pos=0, end=None):
    """A BER element tree: (tag, [children]) or (tag, bytes)."""
    end = len(buf) if end is None else end
    items = []
    while pos < end:
        tag = buf[pos]
        length, start = read_length(buf, pos + 1)
        stop = start + length
        if stop > end:
            raise ValueError('element beyond its container')
        if tag & 0x20:
            items.append((tag, parse(buf, start, stop)))
        else:
            items.append((tag, bytes(buf[start:stop])))
        pos = stop
    return items


def enc_length(n, form='short'):
    if form == 'short' and n < 0x80:
        return bytes([n])
    if form == 'long4':
        return b'\x84' + n.to_bytes(4, 'big')
    size = max(2, (n.bit_length() + 7) // 8) if form == 'long' else max(1, (n.bit_length() + 7) // 8)
    return bytes([0x80 | size]) + n.to_bytes(size, 'big')


def encode(node, form='short'):
    tag, value = node
    if isinstance(value, list):
        content = b''.join(encode(child, form) for child in value)
    else:
        content = value
    return bytes([tag]) + enc_length(len(content), form) + content


def encode_all(nodes, form='short'):
    return b''.join(encode(n, form) for n in nodes)


def oid_text(content):
    if not content:
        return ''
    parts = [content[0] // 40, content[0] % 40]
    value = 0
    for b in content[1:]:
        value = (value << 7) | (b & 0x7F)
        if not b & 0x80:
            parts.append(value)
            value = 0
    return '.'.join(str(p) for p in parts)


def oid_bytes(parts):
    out = bytearray([parts[0] * 40 + parts[1]])
    for p in parts[2:]:
        chunk = [p & 0x7F]
        p >>= 7
        while p:
            chunk.append(0x80 | (p & 0x7F))
            p >>= 7
        out += bytes(reversed(chunk))
    return bytes(out)


def integer(value):
    size = max(1, (value.bit_length() + 8) // 8)
    return (0x02, value.to_bytes(size, 'big', signed=True))


class Snmp:
    """The fields of a decoded SNMP message that the corpus needs."""

    def __init__(self, data):
        self.data = data
        top = parse(data)
        if len(top) != 1 or top[0][0] != 0x30:
            raise ValueError('not a message')
        self.tree = top[0]
        fields = self.tree[1]
        if len(fields) != 3 or fields[0][0] != 0x02 or fields[1][0] != 0x04:
            raise ValueError('not SNMP')
        self.version = int.from_bytes(fields[0][1], 'big')
        self.pdu_tag = fields[2][0]
        pdu = fields[2][1]
        if self.pdu_tag == 0xA4:
            self.request_id = None
            self.varbinds = pdu[5][1]
        else:
            self.request_id = int.from_bytes(pdu[0][1], 'big', signed=True)
            self.varbinds = pdu[3][1]
        self.oids = [oid_text(vb[1][0][1]) for vb in self.varbinds]


# ---- sources -------------------------------------------------------------


def pcap_packets(path):
    """(protocol, source port, destination port, payload, IP packet) of every
    IPv4 packet of a classic pcap capture on loopback."""
    with open(path, 'rb') as f:
        data = f.read()
    magic = data[:4]
    endian = '<' if magic in (b'\xd4\xc3\xb2\xa1', b'\x4d\x3c\xb2\xa1') else '>'
    linktype = struct.unpack(endian + 'I', data[20:24])[0]
    pos = 24
    while pos + 16 <= len(data):
        _, _, caplen, _ = struct.unpack(endian + 'IIII', data[pos:pos + 16])
        frame = data[pos + 16:pos + 16 + caplen]
        pos += 16 + caplen
        if linktype == 1:  # Ethernet
            if frame[12:14] != b'\x08\x00':
                continue
            ip = frame[14:]
        elif linktype == 113:  # Linux cooked
            ip = frame[16:]
        else:
            ip = frame
        if len(ip) < 20 or ip[0] >> 4 != 4:
            continue
        ihl = (ip[0] & 0x0F) * 4
        total = struct.unpack('>H', ip[2:4])[0]
        ip = ip[:total]
        proto = ip[9]
        if proto == 17:
            sport, dport = struct.unpack('>HH', ip[ihl:ihl + 4])
            yield 17, sport, dport, ip[ihl + 8:], ip
        elif proto == 1:
            yield 1, 0, 0, ip[ihl:], ip


def translate(mib, names):
    out = subprocess.run(['snmptranslate', '-M', '/dev/null', '-m', mib, '-On'] +
                         ['QX9304-MIB::' + n for n in names],
                         check=True, capture_output=True, text=True).stdout.split()
    return {n: o.lstrip('.') + '.0' for n, o in zip(names, out)}


# The senders of fuzz_session_answer in their order: (name, request kind,
# first variable, condition on the request).
SENDERS = [
    ('WirelessOperationalGet', 'get', 'operChannelID', None),
    ('WirelessOperationalSet', 'set', 'operChannelID', None),
    ('PrivacySettingsGet', 'get', 'defaultWEPKey1', None),
    ('PrivacySettingsSet', 'set', 'defaultWEPKey1', None),
    ('IPSettingsGet', 'get', 'operIPAddress', None),
    ('IPSettingsSet', 'set', 'operIPAddress', None),
    ('FilteringGet', 'get', 'operIPFilter', None),
    ('FilteringSet', 'set', 'operIPFilter', None),
    ('OperationalModeGet', 'get', 'bridgeOperationalMode', None),
    ('OperationalModeSet', 'set', 'bridgeOperationalMode', 'mode'),
    ('AccessPointClientSet', 'set', 'bridgeOperationalMode', 'client'),
    ('KnownAPsGet', 'get', 'wirelessKnownAPs', None),
    ('HardwareGet', 'get', 'sysDeviceInfo', None),
    ('HardwareSet', 'set', 'sysDeviceInfo', None),
    ('RadioConfigurationGet', 'get', 'TestModeRadioConfiguration', None),
    ('RadioConfigurationSet', 'set', 'TestModeRadioConfiguration', None),
    ('WirelessStatisticsGet', 'get', 'wirelessStatistics', None),
    ('EthernetStatisticsGet', 'get', 'EthRxStatistics', None),
    ('AssociatedSTAsNumGet', 'get', 'AssociatedSTAsNum', None),
    ('AssociatedStationGet', 'set', 'AssociatedSTAsInfo', None),
    ('AuthorizedUserSet', 'set', 'AuthorizedUserPass', None),
    ('AuthorizedAdminSet', 'set', 'AuthorizedAdminPass', None),
    ('AuthorizedMacBlockWrite', 'set', 'AuthorizedMac', 'op1'),
    ('AuthorizedMacBlockRead', 'set', 'AuthorizedMac', 'op2'),
    ('AuthorizationMacEnableSet', 'set', 'AuthorizationMacEnable', None),
    ('TrapSwitchGet', 'get', 'sysTrapSwitch', None),
    ('TrapStateSet', 'set', 'sysTrapSwitch', None),
    ('ResetCommand', 'set', 'sysReset', None),
    ('UploadCommand', 'set', 'sysUpload', None),
    ('RestoreDefaults', 'set', 'sysLoadDefaults', None),
    ('TestModeSet', 'set', 'TestModeOnOff', None),
    ('TestModeStructSet', 'set', 'TestModeCommandStruct', None),
    ('TestStatisticsGet', 'get', 'TestModeStatistics', None),
]

# Flag bytes of fuzz_session_answer: own request id, debug mode; filled cache.
SESSION_FLAGS = 0x05
SESSION_FLAGS_FILLED = 0x0D


def sender_of(request, ids):
    kind = {0xA0: 'get', 0xA3: 'set'}.get(request.pdu_tag)
    for index, (name, k, first, cond) in enumerate(SENDERS):
        if k != kind or not request.oids or request.oids[0] != ids[first]:
            continue
        if cond == 'client' and (len(request.oids) < 2 or
                                 request.oids[1] != ids['SelectedBSSListNumber']):
            continue
        if cond == 'mode' and len(request.oids) > 1 and \
                request.oids[1] == ids['SelectedBSSListNumber']:
            continue
        if cond in ('op1', 'op2'):
            value = request.varbinds[0][1][1][1]
            if not isinstance(value, bytes) or len(value) < 2 or value[0] != int(cond[2]):
                continue
        return index, name
    return None, None


def dfu_request(code, data, output_size):
    return struct.pack('<IIII', 0x51554644, code, len(data), output_size) + data


def dfu_exchange(path, frame):
    s = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    s.settimeout(5)
    s.connect(path)
    s.sendall(frame)
    reply = b''
    while len(reply) < 12 or len(reply) < 12 + struct.unpack('<I', reply[8:12])[0]:
        chunk = s.recv(65536)
        if not chunk:
            break
        reply += chunk
    s.close()
    return reply


def dfu_traffic(apsim):
    """The requests brenlow sends and apsim's replies to them."""
    workdir = tempfile.mkdtemp()
    path = os.path.join(workdir, 'dfu')
    apsim = os.path.abspath(apsim)
    proc = subprocess.Popen([apsim, '--bind', '127.0.0.61', '--port', '0', '--churn', '0',
                             '--dfu', path], cwd=os.path.dirname(apsim),
                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    try:
        for _ in range(100):
            if os.path.exists(path):
                break
            time.sleep(0.05)
        requests = {
            'read-group-1': dfu_request(0x222004, b'\x01', 1024),
            'read-group-3': dfu_request(0x222004, b'\x03', 1024),
            'reset': dfu_request(0x22201C, b'', 0),
            'restore-defaults': dfu_request(0x222020, b'', 0),
        }
        replies = {name: dfu_exchange(path, frame) for name, frame in requests.items()
                   if name.startswith('read')}
        # A write of the block just read, as brenlow's Set sends it.
        reply = replies['read-group-1'][12:]
        block = bytearray()
        for offset in range(9, 1024, 8):
            block += reply[offset:offset + 7]
        requests['write-group-1'] = dfu_request(0x222004, bytes(block[:348]) + b'\x01', 0)
        return requests, replies
    finally:
        proc.terminate()
        proc.wait(5)
        shutil.rmtree(workdir, ignore_errors=True)


# ---- hostile variants ----------------------------------------------------


def with_first_value(message, value_node):
    """The message with the value of its first varbind replaced."""
    tag, fields = message.tree
    pdu_tag, pdu = fields[2]
    pdu = list(pdu)
    index = 5 if pdu_tag == 0xA4 else 3
    varbinds = list(pdu[index][1])
    name = varbinds[0][1][0]
    varbinds[0] = (0x30, [name, value_node])
    pdu[index] = (0x30, varbinds)
    return encode((tag, [fields[0], fields[1], (pdu_tag, pdu)]))


def with_first_name(message, oid_content):
    tag, fields = message.tree
    pdu_tag, pdu = fields[2]
    pdu = list(pdu)
    index = 5 if pdu_tag == 0xA4 else 3
    varbinds = list(pdu[index][1])
    varbinds[0] = (0x30, [(0x06, oid_content), varbinds[0][1][1]])
    pdu[index] = (0x30, varbinds)
    return encode((tag, [fields[0], fields[1], (pdu_tag, pdu)]))


def overlong_value(message):
    """The first varbind's value claims 16 bytes more than it has; the
    enclosing lengths stay as they were (the value runs past its varbind)."""
    data = bytearray(message.data)
    vb = message.varbinds[0]
    value = encode(vb[1][1])
    at = data.find(encode(vb[1][0]) + value)
    if at < 0:
        return None
    at += len(encode(vb[1][0]))
    tag, content = vb[1][1]
    if isinstance(content, list):
        content = encode_all(content)
    claimed = bytes([tag]) + enc_length(len(content) + 16, 'long') + content
    return bytes(data[:at]) + claimed + bytes(data[at + len(value):])


def nested(depth, inner=b'\x05\x00'):
    out = inner
    for _ in range(depth):
        out = b'\x30' + enc_length(len(out)) + out
    return out


def hostile(message, prefix):
    """Hostile variants of one message, each with prefix in front."""
    out = {}
    out['long-form-lengths'] = encode(message.tree, 'long')
    out['long-form-lengths-4'] = encode(message.tree, 'long4')
    variant = overlong_value(message)
    if variant:
        out['value-longer-than-varbind'] = variant
    out['oid-0-subids'] = with_first_name(message, b'')
    out['oid-129-subids'] = with_first_name(message, oid_bytes([1, 3] + [6] * 127))
    out['oid-200-subids'] = with_first_name(message, oid_bytes([1, 3] + list(range(198))))
    out['oid-huge-subid'] = with_first_name(message, oid_bytes([1, 3, 6]) + b'\xff' * 10 + b'\x01')
    out['value-oid-0-subids'] = with_first_value(message, (0x06, b''))
    out['value-oid-129-subids'] = with_first_value(message, (0x06, oid_bytes([1, 3] + [1] * 127)))
    out['value-nested-64'] = with_first_value(message, (0x30, parse(nested(63))))
    out['value-integer-9-bytes'] = with_first_value(message, (0x02, b'\x01' * 9))
    out['value-counter64-9-bytes'] = with_first_value(message, (0x46, b'\x01' * 9))
    out['value-ipaddress-3-bytes'] = with_first_value(message, (0x40, b'\x7f\x00\x01'))
    out['value-empty-integer'] = with_first_value(message, (0x02, b''))
    out['value-long-string'] = with_first_value(message, (0x04, b'\xff' * 1400))
    deep = nested(1000)
    out['nesting-1000'] = b'\x30' + enc_length(len(deep), 'long') + deep
    data = message.data
    out['length-indefinite'] = data[:1] + b'\x80' + data[2:] + b'\x00\x00'
    out['length-9-bytes'] = data[:1] + b'\x89' + b'\xff' * 9 + data[2:]
    out['length-beyond-datagram'] = data[:1] + b'\x84\x7f\xff\xff\xff' + data[2:]
    out['trailing-garbage'] = data + b'\x30\x03\x02\x01\x00junk'
    return {name: prefix + blob for name, blob in out.items()}


# ---- writing -------------------------------------------------------------


def write(out, target, name, blob):
    folder = os.path.join(out, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), 'wb') as f:
        f.write(blob)


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument('--pcap', required=True)
    parser.add_argument('--apsim', required=True)
    parser.add_argument('--mib', required=True)
    parser.add_argument('--out', required=True)
    args = parser.parse_args()

    names = sorted({s[2] for s in SENDERS} | {'SelectedBSSListNumber'})
    ids = translate(args.mib, names)

    requests = {}   # request id -> decoded request
    answers = {}    # sender index -> decoded answer (first one seen)
    manager_requests = []
    tool_requests = []
    traps = {}
    icmp = {}
    for proto, sport, dport, payload, ip in pcap_packets(args.pcap):
        if proto == 1:
            if payload[:1] in (b'\x00', b'\x08') and len(icmp) < 6:
                icmp.setdefault(payload[0], []).append((payload, ip))
            continue
        try:
            message = Snmp(payload)
        except (ValueError, IndexError):
            continue
        if message.pdu_tag in (0xA0, 0xA1, 0xA3, 0xA5):
            requests[(message.request_id, dport, sport)] = message
            if sender_of(message, ids)[0] is not None:
                manager_requests.append(message)
            else:
                tool_requests.append(message)
        elif message.pdu_tag == 0xA2:
            request = requests.get((message.request_id, sport, dport))
            if request is None:
                continue
            index, _ = sender_of(request, ids)
            if index is not None and index not in answers:
                answers[index] = message
        elif message.pdu_tag in (0xA4, 0xA7):
            key = (message.pdu_tag, message.oids[0] if message.oids else '', len(message.oids))
            if message.pdu_tag == 0xA4:
                key = (0xA4, message.tree[1][2][1][3][1])  # specific trap code
            traps.setdefault(key, message)

    out = args.out
    if os.path.isdir(out):
        shutil.rmtree(out)

    # Device session answers.
    for index, message in sorted(answers.items()):
        name = SENDERS[index][0]
        write(out, 'fuzz_session_answer', 'answer-' + name,
              bytes([index, SESSION_FLAGS]) + message.data)
        write(out, 'fuzz_session_answer', 'answer-filled-' + name,
              bytes([index, SESSION_FLAGS_FILLED]) + message.data)
        write(out, 'fuzz_snmp_message', 'answer-' + name, message.data)
    # Every truncation of one answer, and the hostile variants of it.
    sample_index = next(i for i, s in enumerate(SENDERS) if s[0] == 'FilteringGet')
    if sample_index in answers:
        sample = answers[sample_index]
        prefix = bytes([sample_index, SESSION_FLAGS])
        for cut in range(1, len(sample.data)):
            write(out, 'fuzz_session_answer', 'truncated-%03d' % cut, prefix + sample.data[:cut])
        for name, blob in hostile(sample, prefix).items():
            write(out, 'fuzz_session_answer', 'hostile-' + name, blob)
        for name, blob in hostile(sample, b'').items():
            write(out, 'fuzz_snmp_message', 'hostile-' + name, blob)
    block_index = next(i for i, s in enumerate(SENDERS) if s[0] == 'KnownAPsGet')
    if block_index in answers:
        for name, blob in hostile(answers[block_index], bytes([block_index, SESSION_FLAGS])).items():
            write(out, 'fuzz_session_answer', 'hostile-block-' + name, blob)

    # Requests: the manager's (one per sender) and the tools'.
    seen = set()
    for message in manager_requests:
        index, name = sender_of(message, ids)
        if index in seen:
            continue
        seen.add(index)
        write(out, 'fuzz_apsim_request', 'request-' + name, b'\x00' + message.data)
    tool_kinds = {}
    for message in tool_requests:
        key = (message.version, message.pdu_tag, len(message.oids) > 1)
        if key not in tool_kinds:
            tool_kinds[key] = message
    for (version, tag, many), message in sorted(tool_kinds.items()):
        name = 'tool-v%d-%02x%s' % (version + 1, tag, '-many' if many else '')
        write(out, 'fuzz_apsim_request', name, b'\x00' + message.data)
        write(out, 'fuzz_snmp_message', name, message.data)
    if manager_requests:
        for name, blob in hostile(manager_requests[0], b'\x00').items():
            write(out, 'fuzz_apsim_request', 'hostile-' + name, blob)

    # Traps.
    for key, message in sorted(traps.items(), key=lambda kv: str(kv[0])):
        if message.pdu_tag == 0xA4:
            name = 'trap-v1-%d' % int.from_bytes(key[1], 'big')
        else:
            name = 'trap-v2-%d' % len(traps)
        write(out, 'fuzz_trap_log', name, message.data)
        write(out, 'fuzz_snmp_message', name, message.data)
    v1 = [m for m in traps.values() if m.pdu_tag == 0xA4 and m.varbinds]
    if v1:
        for name, blob in hostile(v1[0], b'').items():
            write(out, 'fuzz_trap_log', 'hostile-' + name, blob)
        for cut in range(1, len(v1[0].data), 3):
            write(out, 'fuzz_trap_log', 'truncated-%03d' % cut, v1[0].data[:cut])

    # ICMP echoes, as datagram sockets (flag 0) and raw sockets (flag 1) read them.
    for kind, packets in sorted(icmp.items()):
        for n, (message, ip) in enumerate(packets[:2]):
            label = 'reply' if kind == 0 else 'request'
            write(out, 'fuzz_ping_reply', '%s-%d' % (label, n), b'\x00' + message)
            write(out, 'fuzz_ping_reply', '%s-%d-ip' % (label, n), b'\x01' + ip)
    if 0 in icmp:
        message, ip = icmp[0][0]
        write(out, 'fuzz_ping_reply', 'ip-header-length-60', b'\x01\x4f' + ip[1:])
        write(out, 'fuzz_ping_reply', 'ip-total-length-beyond', b'\x01' + ip[:2] + b'\xff\xff' + ip[4:])
        for cut in range(1, len(ip), 4):
            write(out, 'fuzz_ping_reply', 'truncated-ip-%03d' % cut, b'\x01' + ip[:cut])

    # The driver: brenlow's requests (to apsim) and apsim's replies (to brenlow).
    dfu_requests, dfu_replies = dfu_traffic(args.apsim)
    for name, frame in dfu_requests.items():
        write(out, 'fuzz_apsim_request', 'dfu-' + name, b'\x01' + frame)
    for name, frame in dfu_replies.items():
        option = 0x00 if name.endswith('1') else 0x01
        write(out, 'fuzz_dfu_reply', name, bytes([option]) + frame)
    reply = dfu_replies['read-group-1']
    write(out, 'fuzz_dfu_reply', 'short-output', b'\x00' + reply[:8] + struct.pack('<I', 100) +
          reply[12:112])
    write(out, 'fuzz_dfu_reply', 'output-beyond-buffer', b'\x00' + reply[:8] +
          struct.pack('<I', 1025) + reply[12:] + b'\x00')
    write(out, 'fuzz_dfu_reply', 'status-failure', b'\x00' + reply[:4] + struct.pack('<I', 1) +
          reply[8:])
    for cut in (1, 4, 11, 12, 13, 500):
        write(out, 'fuzz_dfu_reply', 'truncated-%04d' % cut, b'\x00' + reply[:cut])
    write(out, 'fuzz_apsim_request', 'dfu-input-beyond-limit', b'\x01' +
          struct.pack('<IIII', 0x51554644, 0x222004, 0x10001, 1024))

    # The MIB loader: our MIB, and broken ones.
    with open(args.mib, 'rb') as f:
        mib = f.read()
    write(out, 'fuzz_mib_load', 'QX9304.mib', mib)
    write(out, 'fuzz_mib_load', 'truncated-half', mib[:len(mib) // 2])
    write(out, 'fuzz_mib_load', 'no-end', mib.replace(b'\nEND', b'\n'))
    head = b'QX9304-MIB DEFINITIONS ::= BEGIN\n'
    write(out, 'fuzz_mib_load', 'oid-200-subids',
          head + b'deep OBJECT IDENTIFIER ::= { iso ' +
          b' '.join(str(n).encode() for n in range(200)) + b' }\nEND\n')
    write(out, 'fuzz_mib_load', 'nested-braces', head + b'x ::= ' + b'{ ' * 500 + b'}' * 500 +
          b'\nEND\n')
    write(out, 'fuzz_mib_load', 'unterminated-string',
          head + b'x OBJECT-TYPE SYNTAX INTEGER MAX-ACCESS read-only STATUS current '
                 b'DESCRIPTION "never ends\n')
    write(out, 'fuzz_mib_load', 'long-label', head + b'a' * 5000 + b' OBJECT IDENTIFIER ::= '
          b'{ iso 3 }\nEND\n')

    mac_files(out)


def mac_files(out):
    """MAC address files as the Authorized Mac Addresses dialog loads them."""
    files = {
        'two-words-one-line': b'00A0F8000002 00a0f8000001\n',
        'mixed-white-space': b'\t00a0f8123456\r\n\n  00A0F8ABCDEF\t\t001122334455\n',
        'empty': b'',
        'short-third-word': b'00A0F8000001\n00A0F8000002\n00A0F81234\n',
        'long-word': b'00A0F80000011\n',
        'not-hexadecimal': b'00A0F8GG0001\n',
        'no-line-end': b'00A0F8000001',
        'repeated': b'00A0F8000001\n' * 3,
        'nul-bytes': b'00A0F8\x00\x000001\n',
        'many': b''.join(b'00A0F8%06X\n' % n for n in range(681)),
        'word-without-end': b'0' * 5000,
    }
    for name, content in files.items():
        write(out, 'fuzz_mac_file', name, content)


if __name__ == '__main__':
    main()
