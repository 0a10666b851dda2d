#!/usr/bin/env python3
"""Checks the .msi.json and the winget manifest of a release build against the
package itself (its Property table) and its .sha256. A build without
VELTRIN_RELEASE_URL must have no manifest; the test then writes one with a URL
of its own, as the release target would. The manifest's fields are held to
the limits of manifest schema 1.10.0, and its PackageUrl is checked for
release folders of several shapes. The remediation script in deploy/ finds
the package by the package's own UpgradeCode.
Usage: check-release-description.py CMAKE BUILD_DIR SOURCE_DIR VERSION RELEASE_URL PACKAGE_URL WORKDIR"""
import hashlib, json, os, re, shutil, subprocess, sys
import yaml

cmake, build, source, version, url, package_url, workdir = sys.argv[1:]
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

with open(os.path.join(source, "deploy", "remediation.ps1")) as f:
    expect("upgrade code of deploy/remediation.ps1",
           re.findall(r"^\$upgradeCode = '([^']*)'$", f.read(), re.MULTILINE), [package["UpgradeCode"]])

identifier = "Orvane.VeltrinLighting"


def write_manifest(folder, release_url, home_page=""):
    shutil.rmtree(folder, ignore_errors=True)
    subprocess.run([cmake, f"-DMSI={msi}", f"-DMSIINFO={shutil.which('msiinfo')}", "-DDESCRIPTION=Test",
                    f"-DWINGET_DIR={folder}", f"-DRELEASE_URL={release_url}", f"-DPACKAGE_URL={home_page}", "-P",
                    os.path.join(source, "cmake", "write-release-description.cmake")], check=True,
                   stdout=subprocess.DEVNULL)


def read_manifests(folder):
    return {kind: read(os.path.join(folder, f"{identifier}{suffix}.yaml"), yaml.safe_load)
            for kind, suffix in [("version", ""), ("installer", ".installer"), ("defaultLocale", ".locale.en-US")]}


# The package's home page: the one given, or the folder above the release's.
for release_url, home_page, expected in [
        ("https://downloads.example/veltrin/1.0.0", "", "https://downloads.example/veltrin/"),
        ("https://downloads.example/veltrin/1.0.0//", "", "https://downloads.example/veltrin/"),
        ("https://downloads.example", "", "https://downloads.example/"),
        ("https://downloads.example/veltrin/1.0.0", "https://orvane.example/lighting", "https://orvane.example/lighting")]:
    folder = os.path.join(workdir, "winget-url")
    write_manifest(folder, release_url, home_page)
    expect(f"PackageUrl for the release folder {release_url!r} and home page {home_page!r}",
           read_manifests(folder)["defaultLocale"].get("PackageUrl"), expected)

winget = os.path.join(build, "winget")
if not url:
    expect("winget folder of a build without VELTRIN_RELEASE_URL", os.path.exists(winget), False)
    winget, url, package_url = os.path.join(workdir, "winget"), "https://downloads.example/veltrin/", ""
    write_manifest(winget, url)
manifests = read_manifests(winget)
for kind, manifest in manifests.items():
    expect(f"{kind} manifest", [manifest.get(field) for field in
                                ("PackageIdentifier", "PackageVersion", "ManifestType", "ManifestVersion")],
           [identifier, version, kind, "1.10.0"])
locale = manifests["defaultLocale"]
expect("locale manifest",
       [manifests["version"].get("DefaultLocale"), locale.get("PackageName"), locale.get("Publisher")],
       [locale.get("PackageLocale"), package["ProductName"], package["Manufacturer"]])
if package_url:
    expect("PackageUrl", locale.get("PackageUrl"), package_url)
# Schema 1.10.0: a Url matches ^([Hh][Tt][Tt][Pp][Ss]?)://.+$ within 2,048
# characters; Tags and Commands are lists of at most 16 distinct strings of 1
# to 40 characters.
expect("PackageUrl is a URL of the schema",
       bool(re.fullmatch(r"[Hh][Tt][Tt][Pp][Ss]?://.+", str(locale.get("PackageUrl"))))
       and len(locale["PackageUrl"]) <= 2048, True)


def schema_list(value):
    return (isinstance(value, list) and 0 < len(value) <= 16 and len(set(value)) == len(value)
            and all(isinstance(item, str) and 1 <= len(item) <= 40 for item in value))


expect("Tags within the schema's limits", schema_list(locale.get("Tags")), True)
installers = manifests["installer"].get("Installers") or [{}]
expect("number of installers", len(installers), 1)
# A field may be given for all installers or for the one.
installer = {**manifests["installer"], **installers[0]}
installer["InstallerSha256"] = str(installer.get("InstallerSha256")).lower()
installer["InstallerSuccessCodes"] = sorted(installer.get("InstallerSuccessCodes") or [])
expect("Commands within the schema's limits", schema_list(installer.get("Commands")), True)
expected = {"InstallerType": "wix", "Scope": "machine", "Architecture": "x64", "UpgradeBehavior": "install",
            "Commands": ["VeltrinLighting"],
            "InstallerSuccessCodes": [1641, 3010], "InstallerUrl": url.rstrip("/") + "/" + name,
            "InstallerSha256": sha256, "ProductCode": package["ProductCode"],
            "AppsAndFeaturesEntries": [{"UpgradeCode": package["UpgradeCode"]}]}
expect("installer manifest", {field: installer.get(field) for field in expected}, expected)

if failures:
    sys.exit("\n".join(failures))
print(f"{name}.json and the winget manifest in {winget} describe the package")
