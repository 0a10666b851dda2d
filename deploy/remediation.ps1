# Remediation script for VeltrinLighting, run as SYSTEM after the detection
# script of an Intune remediation exited 1, or when a Configuration Manager
# configuration item with deploy/configmgr-discovery.ps1 is not compliant.
#
# 1. When "status --json" lists a startup task that is missing, disabled or
#    not the program's, or an event source that is not registered, it
#    repairs the installed package (msiexec /fomus with the product code
#    that the package's upgrade code finds), which registers both again.
# 2. It runs the program without arguments: the colours are restored (or a
#    policy's applied) at once, stored colours with a value missing are
#    completed, and the run is recorded, which replaces a failed record.
# It exits 1 when the program is missing, a repair fails, or the run printed
# anything (a run that succeeds prints nothing); its one line says what it
# did. Neither step can change an unsupported model or an unusable policy:
# keep unsupported models out of the assignment, and fix the policy.
#
# $env:ProgramW6432 is the 64-bit Program Files the package installs to,
# also from 32-bit PowerShell, where $env:ProgramFiles is
# C:\Program Files (x86). Installed with another INSTALLFOLDER, put that
# folder in $program.
$program = Join-Path $env:ProgramW6432 'VeltrinLighting\VeltrinLighting.exe'
$upgradeCode = '{F60629B0-C32C-4ECE-B227-B9C6BB5BC3BE}'
$repairedBy = 'taskNotRegistered', 'taskDisabled', 'taskNotTheProgram', 'eventSourceNotRegistered'

# A property of a Windows Installer automation object, read by name through
# IDispatch (InvokeMember), which does not depend on PowerShell finding type
# information for the object.
function Get-InstallerProperty($object, [string] $name, [object[]] $arguments) {
    $object.GetType().InvokeMember($name, [Reflection.BindingFlags]::GetProperty, $null, $object, $arguments)
}

function Report([string[]] $done, [int] $exitCode) {
    $line = $done -join '; '
    if ($line.Length -gt 2048) { $line = $line.Substring(0, 2048) }
    Write-Output $line
    exit $exitCode
}

if (-not (Test-Path -LiteralPath $program -PathType Leaf)) {
    Report @("programMissing: $program") 1
}
$problems = @()
try {
    $status = (& $program status --json 2>$null | Out-String) | ConvertFrom-Json -ErrorAction Stop
    $problems = @($status.problems)
} catch {
    $problems = @()
}
$done = @()
if (@($problems | Where-Object { $repairedBy -contains $_ }).Count -gt 0) {
    $installer = New-Object -ComObject WindowsInstaller.Installer
    $products = Get-InstallerProperty $installer 'RelatedProducts' @($upgradeCode)
    $count = Get-InstallerProperty $products 'Count' @()
    for ($index = 0; $index -lt $count; $index++) {
        $product = Get-InstallerProperty $products 'Item' @($index)
        $repair = Start-Process -FilePath msiexec.exe -ArgumentList "/fomus $product /qn" -Wait -PassThru
        $done += "repair of $product exited $($repair.ExitCode)"
        if ($repair.ExitCode -notin 0, 3010, 1641) {
            Report $done 1
        }
    }
}
$output = ((& $program 2>$null | Out-String) -replace '\s+', ' ').Trim()
if ($output) {
    Report ($done + "the restore printed: $output") 1
}
Report ($done + 'colours restored') 0
