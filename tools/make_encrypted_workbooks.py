#!/usr/bin/env python3
"""Writes the encrypted test workbooks that no Debian program writes into
testdata/sheet/encrypted/: .xlsx packages with Agile (SHA-1, AES-128) and
Standard (AES-256) encryption, and a BIFF5 .xls with XOR obfuscation; and
seeds for fuzz/encrypted_package_fuzzer.cpp.

Run with the system Python (python3-cryptography, libgsf-bin for the
compound files):
    /usr/bin/python3 tools/make_encrypted_workbooks.py
The outputs are committed; the tests never run this script. Each one is
checked after writing: the .xlsx files with msoffcrypto-tool
(python3-msoffcrypto-tool), which must give back the plain package (its
HMAC check handles SHA-512 only, so the tests check the HMAC); the
.xls file was checked by opening it in LibreOffice with its password.
"""
import base64
import hashlib
import hmac
import io
import os
import struct
import subprocess
import tempfile

from cryptography.hazmat.primitives.ciphers import Cipher, algorithms, modes

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "testdata", "sheet")
OUT = os.path.join(ROOT, "encrypted")
FUZZ = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "fuzz", "corpus", "encrypted_package")


def random_bytes(n, tag):
    """Fixed "random" bytes, so that running the script again gives the same files."""
    out = b""
    counter = 0
    while len(out) < n:
        out += hashlib.sha256(tag.encode() + bytes([counter])).digest()
        counter += 1
    return out[:n]


def aes(key, data, iv=None):
    mode = modes.CBC(iv) if iv is not None else modes.ECB()
    enc = Cipher(algorithms.AES(key), mode).encryptor()
    return enc.update(data) + enc.finalize()


def pad16(data):
    return data + b"\0" * (-len(data) % 16)


def compound_file(path, streams):
    """A compound file holding `streams` (name -> bytes) at its root, written by gsf."""
    with tempfile.TemporaryDirectory() as tmp:
        for name, data in streams.items():
            with open(os.path.join(tmp, name), "wb") as f:
                f.write(data)
        subprocess.run(["gsf", "createole", os.path.abspath(path)] + list(streams), cwd=tmp, check=True,
                       stdout=subprocess.DEVNULL)


def iterated_hash(h, salt, password, spin):
    digest = h(salt + password.encode("utf-16-le")).digest()
    for i in range(spin):
        digest = h(struct.pack("<I", i) + digest).digest()
    return digest


def fitted(data, size, pad=b"\x36"):
    return data[:size] if len(data) >= size else data + pad * (size - len(data))


def agile(plain, password, hash_name="SHA1", key_bits=128, spin=100000, tag="agile"):
    h = {"SHA1": hashlib.sha1, "SHA512": hashlib.sha512}[hash_name]
    hash_size = h().digest_size
    key_bytes = key_bits // 8
    package_key = random_bytes(key_bytes, tag + "key")
    key_salt = random_bytes(16, tag + "keysalt")
    pw_salt = random_bytes(16, tag + "pwsalt")

    def segment_iv(block):
        return fitted(h(key_salt + block).digest(), 16)

    package = struct.pack("<Q", len(plain))
    for i in range(0, len(plain), 4096):
        package += aes(package_key, pad16(plain[i:i + 4096]), segment_iv(struct.pack("<I", i // 4096)))

    hmac_key = random_bytes(hash_size, tag + "hmac")
    hmac_value = hmac.new(hmac_key, package, h).digest()
    enc_hmac_key = aes(package_key, pad16(hmac_key), segment_iv(bytes.fromhex("5fb2ad010cb9e1f6")))
    enc_hmac_value = aes(package_key, pad16(hmac_value), segment_iv(bytes.fromhex("a0677f02b22c8433")))

    pw_hash = iterated_hash(h, pw_salt, password, spin)

    def pw_key(block):
        return fitted(h(pw_hash + bytes.fromhex(block)).digest(), key_bytes)

    verifier = random_bytes(16, tag + "verifier")
    enc_input = aes(pw_key("fea7d2763b4b9e79"), verifier, pw_salt)
    enc_value = aes(pw_key("d7aa0f6d3061344e"), pad16(h(verifier).digest()), pw_salt)
    enc_key = aes(pw_key("146e0be7abacd0d6"), package_key, pw_salt)

    def b64(b):
        return base64.b64encode(b).decode()

    params = (f'saltSize="16" blockSize="16" keyBits="{key_bits}" hashSize="{hash_size}" cipherAlgorithm="AES" '
              f'cipherChaining="ChainingModeCBC" hashAlgorithm="{hash_name}"')
    xml = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\r\n'
           '<encryption xmlns="http://schemas.microsoft.com/office/2006/encryption" '
           'xmlns:p="http://schemas.microsoft.com/office/2006/keyEncryptor/password">'
           f'<keyData {params} saltValue="{b64(key_salt)}"/>'
           f'<dataIntegrity encryptedHmacKey="{b64(enc_hmac_key)}" encryptedHmacValue="{b64(enc_hmac_value)}"/>'
           '<keyEncryptors><keyEncryptor uri="http://schemas.microsoft.com/office/2006/keyEncryptor/password">'
           f'<p:encryptedKey spinCount="{spin}" {params} saltValue="{b64(pw_salt)}" '
           f'encryptedVerifierHashInput="{b64(enc_input)}" encryptedVerifierHashValue="{b64(enc_value)}" '
           f'encryptedKeyValue="{b64(enc_key)}"/></keyEncryptor></keyEncryptors></encryption>')
    info = struct.pack("<HHI", 4, 4, 0x40) + xml.encode()
    return {"EncryptionInfo": info, "EncryptedPackage": package}


def standard(plain, password, key_bits=256, tag="standard"):
    salt = random_bytes(16, tag + "salt")
    digest = iterated_hash(hashlib.sha1, salt, password, 50000)
    hfinal = hashlib.sha1(digest + struct.pack("<I", 0)).digest()
    x1 = hashlib.sha1(bytes(b ^ 0x36 for b in fitted(hfinal, 64, b"\0"))).digest()
    x2 = hashlib.sha1(bytes(b ^ 0x5C for b in fitted(hfinal, 64, b"\0"))).digest()
    key = (x1 + x2)[:key_bits // 8]
    alg = {128: 0x660E, 192: 0x660F, 256: 0x6610}[key_bits]
    provider = "Microsoft Enhanced RSA and AES Cryptographic Provider\0".encode("utf-16-le")
    header = struct.pack("<IIIIIIII", 0x24, 0, alg, 0x8004, key_bits, 0x18, 0, 0) + provider
    verifier = random_bytes(16, tag + "verifier")
    info = (struct.pack("<HHI", 4, 2, 0x24) + struct.pack("<I", len(header)) + header +
            struct.pack("<I", 16) + salt + aes(key, verifier) + struct.pack("<I", 20) +
            aes(key, pad16(hashlib.sha1(verifier).digest())))
    package = struct.pack("<Q", len(plain)) + aes(key, pad16(plain))
    return {"EncryptionInfo": info, "EncryptedPackage": package}


# XOR obfuscation (method 1) of BIFF records.
PAD = [0xBB, 0xFF, 0xFF, 0xBA, 0xFF, 0xFF, 0xB9, 0x80, 0x00, 0xBE, 0x0F, 0x00, 0xBF, 0x0F, 0x00]
INITIAL = [0xE1F0, 0x1D0F, 0xCC9C, 0x84C0, 0x110C, 0x0E10, 0xF1CE, 0x313E, 0x1872, 0xE139, 0xD40F, 0x84F9,
           0x280C, 0xA96A, 0x4EC3]
MATRIX = [0xAEFC, 0x4DD9, 0x9BB2, 0x2745, 0x4E8A, 0x9D14, 0x2A09, 0x7B61, 0xF6C2, 0xFDA5, 0xEB6B, 0xC6F7, 0x9DCF,
          0x2BBF, 0x4563, 0x8AC6, 0x05AD, 0x0B5A, 0x16B4, 0x2D68, 0x5AD0, 0x0375, 0x06EA, 0x0DD4, 0x1BA8, 0x3750,
          0x6EA0, 0xDD40, 0xD849, 0xA0B3, 0x5147, 0xA28E, 0x553D, 0xAA7A, 0x44D5, 0x6F45, 0xDE8A, 0xAD35, 0x4A4B,
          0x9496, 0x390D, 0x721A, 0xEB23, 0xC667, 0x9CEF, 0x29FF, 0x53FE, 0xA7FC, 0x5FD9, 0x47D3, 0x8FA6, 0x0F6D,
          0x1EDA, 0x3DB4, 0x7B68, 0xF6D0, 0xB861, 0x60E3, 0xC1C6, 0x93AD, 0x377B, 0x6EF6, 0xDDEC, 0x45A0, 0x8B40,
          0x06A1, 0x0D42, 0x1A84, 0x3508, 0x6A10, 0xAA51, 0x4483, 0x8906, 0x022D, 0x045A, 0x08B4, 0x1168, 0x76B4,
          0xED68, 0xCAF1, 0x85C3, 0x1BA7, 0x374E, 0x6E9C, 0x3730, 0x6E60, 0xDCC0, 0xA9A1, 0x4363, 0x86C6, 0x1DAD,
          0x3331, 0x6662, 0xCCC4, 0x89A9, 0x0373, 0x06E6, 0x0DCC, 0x1021, 0x2042, 0x4084, 0x8108, 0x1231, 0x2462,
          0x48C4]


def xor_verifier(pw):
    v = 0
    for b in reversed(bytes([len(pw)]) + pw):
        v = ((((v >> 14) & 1) | ((v << 1) & 0x7FFF)) ^ b)
    return v ^ 0xCE4B


def xor_key(pw):
    key = INITIAL[len(pw) - 1]
    element = 0x68
    for c in reversed(pw):
        for _ in range(7):
            if c & 0x40:
                key ^= MATRIX[element]
            c = (c << 1) & 0xFF
            element -= 1
    return key


def xor_array(pw):
    key = xor_key(pw)
    hi, lo = key >> 8, key & 0xFF

    def xor_ror(a, b):
        v = a ^ b
        return ((v >> 1) | (v << 7)) & 0xFF

    out = [0] * 16
    i = len(pw)
    if i % 2:
        out[i] = xor_ror(PAD[0], hi)
        i -= 1
        out[i] = xor_ror(pw[-1], lo)
    while i > 0:
        i -= 1
        out[i] = xor_ror(pw[i], hi)
        i -= 1
        out[i] = xor_ror(pw[i], lo)
    i, p = 15, 15 - len(pw)
    while p > 0:
        out[i] = xor_ror(PAD[p], hi)
        i -= 1
        p -= 1
        out[i] = xor_ror(PAD[p], lo)
        i -= 1
        p -= 1
    return out


def records(stream):
    pos = 0
    while pos + 4 <= len(stream):
        rid, length = struct.unpack_from("<HH", stream, pos)
        yield rid, stream[pos + 4:pos + 4 + length]
        pos += 4 + length


def xor_biff5(book_stream, password):
    """The stream with a BIFF5 FILEPASS after its BOF and every later record obfuscated."""
    pw = password.encode("latin-1")
    array = xor_array(pw)
    plain = {0x0809, 0x002F, 0x0194, 0x0195, 0x00E1, 0x0196, 0x0138}
    recs = list(records(book_stream))
    filepass = struct.pack("<HHHH", 0x002F, 4, xor_key(pw), xor_verifier(pw))
    out = bytearray()
    for n, (rid, data) in enumerate(recs):
        data = bytearray(data)
        if rid == 0x0085:  # BOUNDSHEET: the sheet's offset moves by the inserted record
            struct.pack_into("<I", data, 0, struct.unpack_from("<I", data, 0)[0] + len(filepass))
        start = len(out) + 4
        if rid not in plain:
            first = 4 if rid == 0x0085 else 0
            for i in range(first, len(data)):
                v = ((data[i] << 5) | (data[i] >> 3)) & 0xFF
                data[i] = v ^ array[(start + i + len(data)) % 16]
        out += struct.pack("<HH", rid, len(data)) + data
        if n == 0:
            out += filepass
    return bytes(out)


def read_stream(path, name):
    return subprocess.run(["gsf", "cat", path, name], check=True, capture_output=True).stdout


def main():
    os.makedirs(OUT, exist_ok=True)
    forms = open(os.path.join(ROOT, "xlsx", "gen_cell_forms.xlsx"), "rb").read()
    compound_file(os.path.join(OUT, "gen_agile_sha1_aes128.xlsx"), agile(forms, "工资 2024"))
    compound_file(os.path.join(OUT, "gen_standard_aes256.xlsx"), standard(forms, "secret256"))
    source = os.path.join(ROOT, "xls", "biff5_cp936_patched.xls")
    compound_file(os.path.join(OUT, "gen_xor_biff5.xls"), {"Book": xor_biff5(read_stream(source, "Book"), "abc")})

    # Seeds for the package fuzzer that open with the default password, so that
    # fuzzing reaches the decryption of the package; a low spin count keeps it fast.
    os.makedirs(FUZZ, exist_ok=True)
    for name, streams in (("default_password_agile.bin", agile(forms, "VelvetSweatshop", spin=1000, tag="fuzz")),
                          ("default_password_standard.bin", standard(forms, "VelvetSweatshop", 128, tag="fuzz"))):
        info = streams["EncryptionInfo"]
        with open(os.path.join(FUZZ, name), "wb") as f:
            f.write(struct.pack("<I", len(info)) + info + streams["EncryptedPackage"])

    import msoffcrypto  # check the packages with an independent decryption
    for name, password in (("gen_agile_sha1_aes128.xlsx", "工资 2024"), ("gen_standard_aes256.xlsx", "secret256")):
        with open(os.path.join(OUT, name), "rb") as f:
            office = msoffcrypto.OfficeFile(f)
            # (Its password and HMAC checks compare whole padded blocks with
            # digests, which holds for SHA-512 only; the decryption is checked.)
            office.load_key(password=password)
            out = io.BytesIO()
            office.decrypt(out)
            assert out.getvalue() == forms, name


if __name__ == "__main__":
    main()
