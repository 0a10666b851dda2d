#!/usr/bin/env python3
"""Reads back what the release says its package is and checks it against the
package itself (msiinfo's Property table) and its checksum file: the .msi.json
beside the msi, and the winget manifest. A build with VELTRIN_RELEASE_URL
must have written the manifest to BUILD_DIR/winget; a build without it must
have none there, and the test then writes one with a URL of its own, as the
release target would.
Usage: check-release-description.py CMAKE BUILD_DIR SOURCE_DIR VERSION RELEASE_URL WORKDIR"""
import hashlib, json, os, shutil, subprocess, sys
import yaml

cmake, build, source, version, release_url, workdir = sys.argv[1:]
name = f"VeltrinLighting-{version}-win64.msi"
msi = os.path.join(build, name)
rows = subprocess.run(["msiinfo", "export", msi, "Property"], check=True, capture_output=True, text=True).stdout
package = dict(line.split("\t", 1) for line in rows.replace("\r", "").splitlines()[3:])
with open(msi, "rb") as f:
    sha256 = hashlib.sha256(f.read()).hexdigest()
with open(msi + ".sha256") as f:
    assert f.read().split()[0] == sha256, "the .sha256 file does not hold the package's hash"
failures = []


def expect(what, actual, expected):
    if actual != expected:
        failures.append(f"{what}: {actual!r}, expected {expected!r}")


with open(msi + ".json") as f:
    expect(".msi.json", json.load(f), {
        "ProductName": package["ProductName"], "ProductVersion": version, "ProductCode": package["ProductCode"],
        "UpgradeCode": package["UpgradeCode"], "FileName": name, "Sha256": sha256})
expect("ProductVersion", package["ProductVersion"], version)

winget = os.path.join(build, "winget")
if not release_url:
    expect("winget folder of a build without VELTRIN_RELEASE_URL", os.path.exists(winget), False)
    winget, release_url = os.path.join(workdir, "winget"), "https://downloads.example/veltrin/"
    shutil.rmtree(winget, ignore_errors=True)
    os.makedirs(workdir, exist_ok=True)
    subprocess.run([cmake, f"-DMSI={msi}", f"-DMSIINFO={shutil.which('msiinfo')}", "-DDESCRIPTION=Test",
                    f"-DWINGET_DIR={winget}", f"-DRELEASE_URL={release_url}", "-P",
                    os.path.join(source, "cmake", "write-release-description.cmake")], check=True)
identifier = "Orvane.VeltrinLighting"
manifests = {}
for suffix, kind in [("", "version"), (".installer", "installer"), (".locale.en-US", "defaultLocale")]:
    with open(os.path.join(winget, identifier + suffix + ".yaml")) as f:
        manifests[kind] = yaml.safe_load(f)
    for field, value in [("PackageIdentifier", identifier), ("PackageVersion", version),
                         ("ManifestType", kind), ("ManifestVersion", "1.10.0")]:
        expect(f"{kind} {field}", manifests[kind].get(field), value)
expect("DefaultLocale", manifests["version"].get("DefaultLocale"), manifests["defaultLocale"].get("PackageLocale"))
expect("PackageName", manifests["defaultLocale"].get("PackageName"), package["ProductName"])
expect("Publisher", manifests["defaultLocale"].get("Publisher"), package["Manufacturer"])
installers = manifests["installer"].get("Installers") or [{}]
expect("number of installers", len(installers), 1)
# A field may be given for all installers or for the one.
installer = {**manifests["installer"], **installers[0]}
installer["InstallerSha256"] = str(installer.get("InstallerSha256")).lower()
installer["InstallerSuccessCodes"] = sorted(installer.get("InstallerSuccessCodes") or [])
for field, value in [("InstallerType", "wix"), ("Scope", "machine"), ("Architecture", "x64"),
                     ("UpgradeBehavior", "install"), ("InstallerSuccessCodes", [1641, 3010]),
                     ("InstallerUrl", release_url.rstrip("/") + "/" + name), ("InstallerSha256", sha256),
                     ("ProductCode", package["ProductCode"]),
                     ("AppsAndFeaturesEntries", [{"UpgradeCode": package["UpgradeCode"]}])]:
    expect(f"installer {field}", installer.get(field), value)

if failures:
    sys.exit("\n".join(failures))
print(f"{name}.json and the winget manifest in {winget} describe the package")
