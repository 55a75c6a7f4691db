#!/usr/bin/python3
"""Checks the package manager's manifest files in a folder: three YAML
files (version, installer, defaultLocale), each valid against its 1.10.0
schema, all for one package and version; with the JSON of setup-lint
--deploy also the architecture, the entries with their versions and the
exit codes with their responses. Exit code 0, or 1 with one line per fault.

usage: winget-validate.py SCHEMA-FOLDER MANIFEST-FOLDER [DEPLOY.json]
"""
import json
import os
import sys

import jsonschema
import yaml

SCHEMAS = {"version": "manifest.version.1.10.0.json",
           "installer": "manifest.installer.1.10.0.json",
           "defaultLocale": "manifest.defaultLocale.1.10.0.json"}
# setup.exe's exit codes and the responses the package manager must give them.
RESPONSES = {1602: "cancelledByUser", 1603: "contactSupport", 1618: "installInProgress", 1638: "downgrade",
             1639: "invalidParameter", 1641: "rebootInitiated", 3010: "rebootRequiredToFinish"}


def faults_of(schema_folder, folder, deploy):
    faults = []
    manifests = {}
    for name in sorted(os.listdir(folder)):
        with open(os.path.join(folder, name), "rb") as file:
            try:
                manifest = yaml.safe_load(file.read().decode("utf-8"))
            except (UnicodeDecodeError, yaml.YAMLError) as error:
                faults.append(f"{name}: not UTF-8 YAML: {error}")
                continue
        kind = manifest.get("ManifestType") if isinstance(manifest, dict) else None
        if kind not in SCHEMAS or kind in manifests:
            faults.append(f"{name}: ManifestType {kind!r} is unknown or given twice")
            continue
        with open(os.path.join(schema_folder, SCHEMAS[kind]), encoding="utf-8") as file:
            validator = jsonschema.Draft7Validator(json.load(file))
        for error in validator.iter_errors(manifest):
            faults.append(f"{name}: {'/'.join(str(p) for p in error.absolute_path)}: {error.message}")
        manifests[kind] = manifest
    if set(manifests) != set(SCHEMAS):
        return faults + [f"the manifests are {sorted(manifests)}, not {sorted(SCHEMAS)}"]
    identity = {(m.get("PackageIdentifier"), m.get("PackageVersion")) for m in manifests.values()}
    if len(identity) != 1:
        faults.append(f"the files name different packages or versions: {sorted(map(str, identity))}")
    if deploy:
        faults += deployment_faults(manifests["installer"], deploy)
    return faults


def deployment_faults(installer, deploy):
    faults = []
    items = installer.get("Installers") or [{}]
    item = items[0]
    if item.get("Architecture") != deploy["architecture"]:
        faults.append(f"Architecture {item.get('Architecture')!r}, the medium is {deploy['architecture']}")
    told = {e["key"]: e["displayVersion"] for e in deploy["entries"] if e["key"] in deploy["defaultEntries"]}
    written = {e.get("ProductCode"): e.get("DisplayVersion") for e in item.get("AppsAndFeaturesEntries") or []}
    if written != told:
        faults.append(f"AppsAndFeaturesEntries {written}, the default installation writes {told}")
    codes = {c.get("InstallerReturnCode"): c.get("ReturnResponse") for c in item.get("ExpectedReturnCodes") or []}
    if codes != RESPONSES:
        faults.append(f"ExpectedReturnCodes {codes}, expected {RESPONSES}")
    if set(told) and installer.get("PackageVersion") not in told.values():
        faults.append(f"PackageVersion {installer.get('PackageVersion')!r} is no entry's DisplayVersion")
    return faults


def main():
    deploy = None
    if len(sys.argv) == 4:
        with open(sys.argv[3], encoding="utf-8") as file:
            deploy = json.load(file)
    faults = faults_of(sys.argv[1], sys.argv[2], deploy)
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
