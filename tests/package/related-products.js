// Prints the product code of each installed product of the upgrade code
// given, one a line, through the Windows Installer's automation object: how
// the README's uninstall command finds whatever version is installed.
// Usage: cscript //nologo related-products.js UPGRADE_CODE
var installer = new ActiveXObject("WindowsInstaller.Installer");
var products = new Enumerator(installer.RelatedProducts(WScript.Arguments(0)));
for (; !products.atEnd(); products.moveNext()) {
    WScript.Echo(products.item());
}
