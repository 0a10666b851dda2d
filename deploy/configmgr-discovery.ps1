# Discovery script of a Configuration Manager configuration item's setting
# (Compliance Settings, setting type Script, data type String) for
# VeltrinLighting. It prints one line, the setting's value: "healthy" when
# the machine needs nothing, otherwise the problems that "status --json"
# lists, programMissing or statusUnreadable. The item's compliance rule is:
# the value equals healthy. It always exits 0: Configuration Manager reads
# any other exit code as a discovery failure (an error), not as
# non-compliance.
#
# $env:ProgramW6432 is the 64-bit Program Files the package installs to,
# whether the script runs in 64-bit or in 32-bit PowerShell (where
# $env:ProgramFiles is C:\Program Files (x86)). Installed with another
# INSTALLFOLDER, put that folder in $program.
$program = Join-Path $env:ProgramW6432 'VeltrinLighting\VeltrinLighting.exe'

function Report([string] $line) {
    if ($line.Length -gt 2048) { $line = $line.Substring(0, 2048) }
    Write-Output $line
    exit 0
}

if (-not (Test-Path -LiteralPath $program -PathType Leaf)) {
    Report "programMissing: $program"
}
# A program that cannot be started, prints nothing or prints something that
# is not the JSON of status (format 1) leaves $status empty: not healthy.
$output = ''
$status = $null
try {
    $output = (& $program status --json 2>$null | Out-String).Trim()
    $status = $output | ConvertFrom-Json -ErrorAction Stop
} catch {
    $status = $null
}
if ($null -eq $status -or $status.formatVersion -ne 1 -or $status.problems -isnot [array]) {
    Report "statusUnreadable: $($output -replace '\s+', ' ')"
}
if ($status.problems.Count -eq 0) {
    Report 'healthy'
}
Report ($status.problems -join ' ')
