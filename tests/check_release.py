"""The release command end to end, with a throwaway self-signed certificate made here by openssl:
- without a certificate, scripts/release.sh says the file is unsigned and packs the built bytes;
- with one, the packed Vendro.exe and diagnostico-vendro.exe each carry an Authenticode
  signature that osslsigncode verifies against that certificate (the digest it holds matches the
  file), the password is never printed, each signed file still passes tests/check_product.py,
  and removing the signature gives back the built bytes;
- the zip holds exactly the expected files, and SHA256SUMS is right for each.
Then it signs the end-to-end rig's build into build/signed/<x86|x64>/Vendro.exe, which
tests/e2e/test_start.py starts under Wine.

    /usr/bin/python3 tests/check_release.py
"""
import hashlib
import os
import re
import subprocess
import sys
import tempfile
import zipfile
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
X86 = Path(os.environ.get("VENDRO_X86_DIR", ROOT / "build" / "x86"))
X64 = Path(os.environ.get("VENDRO_X64_DIR", ROOT / "build" / "x64"))
SIGNED = ROOT / "build" / "signed"
VERSION = re.search(r"^project\(Vendro VERSION ([0-9.]+)",
                    (ROOT / "CMakeLists.txt").read_text(), re.M).group(1)


PROGRAMS = ("Vendro.exe", "diagnostico-vendro.exe")


class Failed(Exception):
    pass


def run(command, **kwargs):
    result = subprocess.run(command, capture_output=True, text=True, **kwargs)
    if result.returncode:
        raise Failed(f"{' '.join(map(str, command))} failed ({result.returncode}):\n"
                     f"{result.stdout}{result.stderr}")
    return result.stdout + result.stderr


def make_certificate(folder: Path) -> dict:
    password = os.urandom(18).hex()
    (folder / "password").write_text(password)
    run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
         "-subj", "/CN=Vendro test signer", "-keyout", folder / "key.pem",
         "-out", folder / "cert.pem"])
    run(["openssl", "pkcs12", "-export", "-inkey", folder / "key.pem", "-in",
         folder / "cert.pem", "-out", folder / "cert.p12", "-passout",
         f"file:{folder / 'password'}"])
    return {"VENDRO_SIGN_PKCS12": str(folder / "cert.p12"),
            "VENDRO_SIGN_PASSWORD_FILE": str(folder / "password"), "password": password}


def release(dist: Path, signing: dict) -> tuple[str, Path]:
    env = {k: v for k, v in os.environ.items() if not k.startswith("VENDRO_SIGN_")}
    env.update({k: v for k, v in signing.items() if k.startswith("VENDRO_SIGN_")})
    env["VENDRO_DIST_DIR"] = str(dist)
    output = run([ROOT / "scripts" / "release.sh"], env=env)
    return output, dist / f"Vendro-{VERSION}.zip"


def unpack(package: Path, folder: Path) -> list[str]:
    """Unpacks the zip, checks its file list and SHA256SUMS; returns the names."""
    if not package.is_file():
        raise Failed(f"no {package}")
    with zipfile.ZipFile(package) as archive:
        names = sorted(archive.namelist())
        archive.extractall(folder)
    # Every picture the guide shows travels with its page.
    guide = (ROOT / "docs" / "es" / "guia-operador.md").read_text(encoding="utf-8")
    pictures = {"img/" + name for name in re.findall(r"!\[[^\]]*\]\(\.\./img/([^)]+)\)", guide)}
    expected = {*PROGRAMS, "Vendro.pmr.ini", "guia-operador.html", "SHA256SUMS", *pictures}
    if set(names) != expected:
        raise Failed(f"{package} holds {names}, expected {sorted(expected)}")
    sums = {}
    for line in (folder / "SHA256SUMS").read_text().splitlines():
        digest, name = line.split("  ", 1)
        sums[name] = digest
    if set(sums) != expected - {"SHA256SUMS"}:
        raise Failed(f"SHA256SUMS lists {sorted(sums)}")
    for name, digest in sums.items():
        if hashlib.sha256((folder / name).read_bytes()).hexdigest() != digest:
            raise Failed(f"SHA256SUMS is wrong for {name}")
    html = (folder / "guia-operador.html").read_text(encoding="utf-8")
    if 'src="img/splash.png"' not in html or "<table>" not in html:
        raise Failed("the guide's HTML lacks its pictures or tables")
    return names


def check_signed(exe: Path, certificate: Path, built: Path, temp: Path) -> None:
    # A self-signed certificate chains to no trusted root: plain verify fails on the chain, so
    # the certificate is given as the trusted root and the signature itself must verify.
    report = run(["osslsigncode", "verify", "-CAfile", certificate, "-in", exe])
    digests = re.findall(r"^(Current|Calculated) message digest\s*:\s*([0-9A-F]+)", report, re.M)
    if ("Signature verification: ok" not in report or len(digests) != 2
            or digests[0][1] != digests[1][1] or "CN=Vendro test signer" not in report):
        raise Failed(f"the signature does not verify:\n{report}")
    run([sys.executable, ROOT / "tests" / "check_product.py", "--version", VERSION, exe])
    unsigned = temp / f"unsigned-{exe.name}"
    run(["osslsigncode", "remove-signature", "-in", exe, "-out", unsigned])
    if unsigned.read_bytes() != built.read_bytes():
        raise Failed("without its signature the packed file is not the built one")


def main() -> int:
    with tempfile.TemporaryDirectory(prefix="vendro-release-") as name:
        temp = Path(name)
        try:
            output, package = release(temp / "dist-unsigned", {})
            if "Not signed" not in output:
                raise Failed(f"an unsigned release does not say so:\n{output}")
            unpack(package, temp / "unsigned")
            for program in PROGRAMS:
                if (temp / "unsigned" / program).read_bytes() != (X86 / program).read_bytes():
                    raise Failed(f"the unsigned package's {program} is not build/x86/{program}")
            print(f"unsigned: {package.name}, {package.stat().st_size} bytes")

            (temp / "certificate").mkdir()
            signing = make_certificate(temp / "certificate")
            output, package = release(temp / "dist-signed", signing)
            if signing["password"] in output:
                raise Failed("the release command printed the certificate's password")
            if "Signed:" not in output:
                raise Failed(f"a signed release does not say so:\n{output}")
            names = unpack(package, temp / "signed")
            for program in PROGRAMS:
                check_signed(temp / "signed" / program, temp / "certificate" / "cert.pem",
                             X86 / program, temp)
            print(f"signed: {package.name}, {package.stat().st_size} bytes: {', '.join(names)}")

            # The signed builds the end-to-end suite starts under Wine.
            env = {**os.environ, **{k: v for k, v in signing.items() if k != "password"}}
            for kind, folder in (("x86", X86), ("x64", X64)):
                if (folder / "Vendro.exe").is_file():
                    target = SIGNED / kind / "Vendro.exe"
                    run([ROOT / "scripts" / "sign.sh", folder / "Vendro.exe", target], env=env)
                    run(["osslsigncode", "verify", "-CAfile",
                         temp / "certificate" / "cert.pem", "-in", target])
                    print(f"signed for the end-to-end tests: {target}")
        except Failed as failure:
            print(failure)
            return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
