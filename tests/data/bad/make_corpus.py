#!/usr/bin/env python3
"""Writes the malformed-file corpus next to this script, each file derived from one small valid
data set written straight from docs/orvex-file-format.md (so the corpus also checks the document).
Run it again only on purpose: the files are committed."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def i32(v): return struct.pack('<i', v)
def u32(v): return struct.pack('<I', v)
def f32(v): return struct.pack('<f', v)
def f64(v): return struct.pack('<d', v)
def xyz(x, y, z): return f64(x) + f64(y) + f64(z)
def string(b): return u32(len(b)) + b


def arc(kind=0, centre=(0, 0, 0), normal=(0, 0, 0)):
    return i32(kind) + xyz(0, 0, 0) + xyz(10, 0, 0) + xyz(*centre) + xyz(*normal) + u32(0) + i32(1)


def leg(flags=1, kind=0):
    return i32(kind) + u32(flags) + xyz(0, 0, 0) + xyz(1, -1, 0) + f64(0.0) + f64(2.0) + u32(0x0000FF) + i32(1)


def snapshot(leg_count=None, legs=None, n_samples=None, label=b'Time (us)', outline_items=None):
    legs = legs if legs is not None else leg() + leg(flags=0)
    body = i32(1) + i32(1) + arc() if outline_items is None else outline_items
    body += i32(1)                                   # nBundles
    body += i32(1)                                   # one bundle
    body += i32(2 if leg_count is None else leg_count) + legs
    body += f64(1.0) + f64(2.0) + f64(1.0) + f64(-1.0) + f64(0.01) + f64(0.01) + f64(1.5)
    samples = [0.0, 0.5, -0.5]
    body += i32(len(samples) if n_samples is None else n_samples)
    body += string(label)
    body += b''.join(f32(s) for s in samples)
    return body


def data_set(snapshots=None, snapshot_count=None, outline=None, labels=None, version=1, signature=b'OXSD'):
    snaps = [snapshot()] if snapshots is None else snapshots
    body = signature + u32(version)
    body += (i32(1) + arc()) if outline is None else outline
    body += i32(1)                                   # displaySnapshot
    body += i32(len(snaps) if snapshot_count is None else snapshot_count) + b''.join(snaps)
    body += i32(0)                                   # extra outline
    body += (i32(1) + string(b'SDH') + xyz(1, 2, 0) + xyz(-3, 0, 0) + xyz(0, -2, 0)) if labels is None else labels
    body += xyz(0, 0, 0) + xyz(1, 0, 0) + xyz(0, 1, 0) + xyz(0, 0, -1)
    body += f32(0) + f32(0) + f32(40) + f32(40)
    body += f64(5.0) + f64(50.0)
    return body


def orvex(body, number=0):
    return u32(number) + body


VALID = orvex(data_set())

# name -> (bytes, why it is bad)
CASES = {
    'empty.orvex': (b'', 'no bytes at all'),
    'format-number-only.orvex': (u32(0), 'the format number and nothing after it'),
    'format-number-one.orvex': (orvex(data_set(), number=1), 'format number 1 instead of 0'),
    'bad-signature.orvex': (orvex(data_set(signature=b'OXSE')), 'signature OXSE instead of OXSD'),
    'unknown-version.orvex': (orvex(data_set(version=2)), 'version 2 of the data set'),
    'truncated-in-leg.orvex': (VALID[:VALID.find(f64(2.0) + u32(0x0000FF)) + 4], 'ends in the middle of a leg'),
    'truncated-last-byte.orvex': (VALID[:-1], 'one byte short of the probe bandwidth'),
    'trailing-bytes.orvex': (VALID + b'\0', 'a byte after the end of the data set'),
    'negative-snapshot-count.orvex': (orvex(data_set(snapshot_count=-1)), 'snapshot count -1'),
    'negative-arc-count.orvex': (orvex(data_set(outline=i32(-5))), 'outline arc count -5'),
    'huge-snapshot-count.orvex': (orvex(data_set(snapshot_count=0x7FFFFFFF)),
                                  'snapshot count 2^31-1 with a few hundred bytes left'),
    'huge-leg-count.orvex': (orvex(data_set(snapshots=[snapshot(leg_count=0x7FFFFFFF)])),
                             'leg count 2^31-1: 2^31-1 x 80 bytes overflows 32 bits and exceeds the file'),
    'leg-count-one-too-many.orvex': (orvex(data_set(snapshots=[snapshot(leg_count=3)])),
                                     'three legs announced, two present: the following fields are misread'),
    'huge-sample-count.orvex': (orvex(data_set(snapshots=[snapshot(n_samples=0x7FFFFFFF)])),
                                'sample count 2^31-1 with 12 bytes of samples'),
    'negative-sample-count.orvex': (orvex(data_set(snapshots=[snapshot(n_samples=-3)])), 'sample count -3'),
    'label-longer-than-file.orvex': (orvex(data_set(snapshots=[snapshot(label=b'')])).replace(
        u32(0) + f32(0.0) + f32(0.5), u32(0xFFFFFFFF) + f32(0.0) + f32(0.5), 1),
        'x label byte count 4294967295'),
    'label-text-too-long.orvex': (orvex(data_set(labels=i32(1) + u32(1000) + b'SDH')),
                                  'label text of 1000 bytes with 3 present'),
    'unknown-arc-kind.orvex': (orvex(data_set(outline=i32(1) + arc(kind=7))), 'arc kind 7'),
    'straight-arc-with-normal.orvex': (orvex(data_set(outline=i32(1) + arc(kind=0, normal=(0, 0, 1)))),
                                       'a straight segment whose reserved normal is not zero'),
    'unknown-leg-flags.orvex': (orvex(data_set(snapshots=[snapshot(legs=leg(flags=3) + leg())])),
                                'leg flags 3: bit 1 is not defined'),
    'huge-outline-item-count.orvex': (orvex(data_set(snapshots=[snapshot(outline_items=i32(0x40000000))])),
                                      'outline item count 2^30 with a few hundred bytes left'),
}


def main():
    notes = ['# Malformed .orvex files', '',
             'Each file must make the reader raise an archive exception (never crash, hang or allocate',
             'beyond the file\'s size). `make_corpus.py` writes them; `../valid-small.orvex` is the data set',
             'they are derived from, and must load.', '', '| File | Why it is bad |', '|---|---|']
    with open(os.path.join(HERE, '..', 'valid-small.orvex'), 'wb') as f:
        f.write(VALID)
    for name, (data, why) in sorted(CASES.items()):
        with open(os.path.join(HERE, name), 'wb') as f:
            f.write(data)
        notes.append(f'| `{name}` | {why} |')
    with open(os.path.join(HERE, 'README.md'), 'w') as f:
        f.write('\n'.join(notes) + '\n')


if __name__ == '__main__':
    main()
