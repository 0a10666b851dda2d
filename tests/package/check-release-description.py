#!/usr/bin/env python3
"""Checks the .msi.json and the winget manifest of a release build against the
package itself (its Property table) and its .sha256. A build without
VELTRIN_RELEASE_URL must have no manifest; the test then writes one with a URL
of its own, as the release target would.
Usage: check-release-description.py CMAKE BUILD_DIR SOURCE_DIR VERSION RELEASE_URL WORKDIR"""
import hashlib, json, os, shutil, subprocess, sys
import yaml

cmake, build, source, version, url, workdir = sys.argv[1:]
name = f"VeltrinLighting-{version}-win64.msi"
msi = os.path.join(build, name)
rows = subprocess.run(["msiinfo", "export", msi, "Property"], check=True, capture_output=True, text=True).stdout
package = dict(line.split("\t", 1) for line in rows.replace("\r", "").splitlines()[3:])
with open(msi, "rb") as f:
    sha256 = hashlib.sha256(f.read()).hexdigest()
failures = []


def expect(what, actual, expected):
    if actual != expected:
        failures.append(f"{what}: {actual!r}, expected {expected!r}")


def read(path, parse):
    with open(path) as f:
        return parse(f)


expect(".sha256", read(msi + ".sha256", lambda f: f.read()), f"{sha256}  {name}\n")
expect(".msi.json", read(msi + ".json", json.load), {
    "ProductName": package["ProductName"], "ProductVersion": version, "ProductCode": package["ProductCode"],
    "UpgradeCode": package["UpgradeCode"], "FileName": name, "Sha256": sha256})

winget = os.path.join(build, "winget")
if not url:
    expect("winget folder of a build without VELTRIN_RELEASE_URL", os.path.exists(winget), False)
    winget, url = os.path.join(workdir, "winget"), "https://downloads.example/veltrin/"
    shutil.rmtree(winget, ignore_errors=True)
    subprocess.run([cmake, f"-DMSI={msi}", f"-DMSIINFO={shutil.which('msiinfo')}", "-DDESCRIPTION=Test",
                    f"-DWINGET_DIR={winget}", f"-DRELEASE_URL={url}", "-P",
                    os.path.join(source, "cmake", "write-release-description.cmake")], check=True)
identifier = "Orvane.VeltrinLighting"
manifests = {kind: read(os.path.join(winget, f"{identifier}{suffix}.yaml"), yaml.safe_load)
             for kind, suffix in [("version", ""), ("installer", ".installer"), ("defaultLocale", ".locale.en-US")]}
for kind, manifest in manifests.items():
    expect(f"{kind} manifest", [manifest.get(field) for field in
                                ("PackageIdentifier", "PackageVersion", "ManifestType", "ManifestVersion")],
           [identifier, version, kind, "1.10.0"])
locale = manifests["defaultLocale"]
expect("locale manifest",
       [manifests["version"].get("DefaultLocale"), locale.get("PackageName"), locale.get("Publisher")],
       [locale.get("PackageLocale"), package["ProductName"], package["Manufacturer"]])
installers = manifests["installer"].get("Installers") or [{}]
expect("number of installers", len(installers), 1)
# A field may be given for all installers or for the one.
installer = {**manifests["installer"], **installers[0]}
installer["InstallerSha256"] = str(installer.get("InstallerSha256")).lower()
installer["InstallerSuccessCodes"] = sorted(installer.get("InstallerSuccessCodes") or [])
expected = {"InstallerType": "wix", "Scope": "machine", "Architecture": "x64", "UpgradeBehavior": "install",
            "InstallerSuccessCodes": [1641, 3010], "InstallerUrl": url.rstrip("/") + "/" + name,
            "InstallerSha256": sha256, "ProductCode": package["ProductCode"],
            "AppsAndFeaturesEntries": [{"UpgradeCode": package["UpgradeCode"]}]}
expect("installer manifest", {field: installer.get(field) for field in expected}, expected)

if failures:
    sys.exit("\n".join(failures))
print(f"{name}.json and the winget manifest in {winget} describe the package")
