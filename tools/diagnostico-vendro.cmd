@echo off
rem Diagnostico de un puesto de Vendro.
rem
rem Se deja junto a Vendro.exe y se ejecuta con doble clic. Examina la carpeta en la que esta
rem este fichero y el equipo, y escribe un informe de texto para enviarlo a soporte:
rem   %TEMP%\diagnostico-vendro.txt
rem (si no se puede escribir alli, diagnostico-vendro.txt junto a este fichero).
rem No cambia nada del equipo: solo lee (cmd, reg y tasklist) y escribe su informe.
rem Con /q termina sin esperar a que se pulse una tecla.
rem
rem Solo texto ASCII: el informe se escribe en la pagina de codigos 1252 (la de las rutas
rem de Windows en espanol), y la de la ventana se deja como estaba al terminar.

setlocal EnableExtensions DisableDelayedExpansion
set "CARPETA=%~dp0"
set "CP_ANTES="
for /f "tokens=2 delims=:." %%c in ('chcp') do set /a CP_ANTES=%%c >nul 2>&1
if "%CP_ANTES%"=="0" set "CP_ANTES="
chcp 1252 >nul 2>&1

set "INFORME=%TEMP%\diagnostico-vendro.txt"
if not defined TEMP set "INFORME=%CARPETA%diagnostico-vendro.txt"
rem El informe de una ejecucion anterior se borra antes, para no tomarlo por el de esta.
del "%INFORME%" >nul 2>&1
call :informe > "%INFORME%" 2>&1
if exist "%INFORME%" goto escrito
set "INFORME=%CARPETA%diagnostico-vendro.txt"
del "%INFORME%" >nul 2>&1
call :informe > "%INFORME%" 2>&1
if exist "%INFORME%" goto escrito
echo No se ha podido escribir el informe ni en la carpeta temporal ni junto a este fichero.
goto fin

:escrito
echo.
echo Diagnostico de Vendro terminado. Informe escrito en:
echo   %INFORME%
echo Envie ese fichero a soporte.

:fin
if defined CP_ANTES chcp %CP_ANTES% >nul 2>&1
if /i not "%~1"=="/q" pause
endlocal
exit /b 0


rem ---------------------------------------------------------------------------------------
rem El informe, a la salida estandar. Escrito con construcciones sencillas que cualquier cmd
rem entiende: sin parentesis tras un if, sin & dentro de un for, y los textos que pueden
rem llevar parentesis o & (rutas) solo en lineas echo sueltas.

:informe
echo ===== Diagnostico de Vendro =====
echo Fecha: %DATE% %TIME%
echo Equipo: %COMPUTERNAME%   Usuario: %USERNAME%
echo Carpeta examinada: %CARPETA%
echo.

echo ===== Windows =====
ver
echo PROCESSOR_ARCHITECTURE=%PROCESSOR_ARCHITECTURE%
echo PROCESSOR_ARCHITEW6432=%PROCESSOR_ARCHITEW6432%
set "VISTAS=32 64"
set "BITS=64"
if /i "%PROCESSOR_ARCHITECTURE%"=="x86" if not defined PROCESSOR_ARCHITEW6432 set "BITS=32"
if "%BITS%"=="32" set "VISTAS=una"
echo Windows de %BITS% bits.
if "%BITS%"=="64" echo El Registro de Windows tiene dos vistas: la de 32 bits, Wow6432Node, y la de 64 bits.
if "%BITS%"=="32" echo El Registro de Windows tiene una sola vista.
echo.

echo ===== Java en el Registro de Windows =====
echo Claves que lee Vendro, en este orden. De cada version: JavaHome y si esta javaw.exe,
echo en JavaHome\bin de un JRE o en JavaHome\jre\bin de un JDK.
set "VERSIONES=0"
set "UTILES=0"
for %%k in ("JavaSoft\Java Development Kit" "JavaSoft\Java Runtime Environment" "IBM\Java Development Kit" "IBM\Java2 Runtime Environment") do for %%v in (%VISTAS%) do call :clave "%%~k" %%v
echo.
if "%VERSIONES%"=="0" goto sin_java
if "%UTILES%"=="0" goto sin_javaw
echo Resumen: %VERSIONES% versiones de Java registradas, %UTILES% con javaw.exe.
goto otras_claves
:sin_java
echo No se ha encontrado Java: ninguna de estas claves tiene versiones.
echo Vendro mostrara "Version de Java no valida 1.7.0"; 1.7.0 es la version minima.
goto otras_claves
:sin_javaw
echo No se ha encontrado Java utilizable: hay %VERSIONES% versiones registradas,
echo pero ninguna tiene javaw.exe donde lo busca Vendro.
:otras_claves
echo.
echo Otras claves de Java que Vendro NO lee, de Java 9 y posteriores o de OpenJDK de otros fabricantes:
set "OTRAS=0"
for %%k in ("JavaSoft\JRE" "JavaSoft\JDK" "Eclipse Adoptium" "AdoptOpenJDK" "Eclipse Foundation" "Azul Systems" "Amazon Corretto" "BellSoft" "Microsoft\JDK") do for %%v in (%VISTAS%) do call :otra "%%~k" %%v
if "%OTRAS%"=="0" echo   ninguna
echo.

echo ===== Fichero de opciones =====
set "OPCIONES=0"
for /f "delims=" %%f in ('dir /b /a-d "%CARPETA%*.pmr.ini" 2^>nul') do call :opciones "%CARPETA%%%f"
if "%OPCIONES%"=="0" echo No hay fichero de opciones Vendro.pmr.ini: Java arranca solo con -Dfile.encoding=UTF-8.
echo.

echo ===== Carpeta de Vendro =====
dir /a-d "%CARPETA%."
echo.
if exist "%CARPETA%Vendro.exe" echo Vendro.exe: presente
if not exist "%CARPETA%Vendro.exe" echo Vendro.exe: NO ESTA en esta carpeta
if exist "%CARPETA%wyUpdate.exe" echo wyUpdate.exe: presente
if not exist "%CARPETA%wyUpdate.exe" echo wyUpdate.exe: NO ESTA; Vendro avisara en cada arranque
echo.

echo ===== Carpeta lib =====
call :carpeta "%CARPETA%lib"
echo ===== Carpeta swt =====
call :carpeta "%CARPETA%swt"

echo ===== Variable Pelmorin =====
if not defined Pelmorin echo La variable Pelmorin no esta definida en este entorno.
if defined Pelmorin set Pelmorin
echo En el Registro de Windows, usuario, HKCU\Environment:
call :valor "HKCU\Environment" Pelmorin
echo En el Registro de Windows, equipo, HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\Environment:
call :valor "HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\Environment" Pelmorin
echo.

echo ===== Log de depuracion pelmorin.log =====
call :log "%CARPETA%pelmorin.log"
echo.

echo ===== Programas en marcha =====
set "PROGRAMAS=0"
set "VENDRO_PID="
set "JAVAW_PID="
for /f "tokens=1,2 delims=," %%a in ('tasklist /nh /fo csv 2^>nul') do call :programa "%%~a" "%%~b"
call :en_marcha Vendro.exe "%VENDRO_PID%"
call :en_marcha javaw.exe "%JAVAW_PID%"
echo.
echo ===== Fin del diagnostico =====
goto :eof


rem ---------------------------------------------------------------------------------------
rem :clave "SUBCLAVE DE SOFTWARE" VISTA -- una clave de Java en una vista: 32, 64 o "una".

:clave
set "CLAVE=HKLM\SOFTWARE\%~1"
set "VISTA=%~2"
set "OPCION="
if not "%VISTA%"=="una" set "OPCION=/reg:%VISTA%"
set "TIPO=JRE"
if /i "%~1"=="JavaSoft\Java Development Kit" set "TIPO=JDK"
if /i "%~1"=="IBM\Java Development Kit" set "TIPO=JDK"
echo.
if "%VISTA%"=="una" echo --- %CLAVE%
if not "%VISTA%"=="una" echo --- %CLAVE%   [vista de %VISTA% bits]
reg query "%CLAVE%" %OPCION% >nul 2>&1
if errorlevel 1 echo     no existe
if errorlevel 1 goto :eof
set "EN_CLAVE=0"
for /f "delims=" %%s in ('reg query "%CLAVE%" %OPCION% 2^>nul') do call :version "%%s"
if "%EN_CLAVE%"=="0" echo     sin versiones
goto :eof

rem :version "LINEA DE REG QUERY" -- una linea de la lista de la clave. Las subclaves son las
rem versiones; la propia clave, que algunas versiones de reg repiten en la lista, no lo es.
:version
set "LINEA=%~1"
if /i not "%LINEA:~0,5%"=="HKEY_" goto :eof
for %%n in ("%LINEA%") do set "VERSION=%%~nxn"
reg query "%CLAVE%\%VERSION%" %OPCION% >nul 2>&1
if errorlevel 1 goto :eof
set /a VERSIONES+=1
set /a EN_CLAVE+=1
set "HOME_JAVA="
set "TIPO_VALOR="
rem The value is set, and shown, straight from the for variable: passed to a call, or shown
rem through a variable by some cmd, a % in it would be expanded.
set "QUERY=reg query "%CLAVE%\%VERSION%" /v JavaHome %OPCION%"
for /f "tokens=1,2,*" %%a in ('%QUERY% 2^>nul') do if /i "%%a"=="JavaHome" set "TIPO_VALOR=%%b"
for /f "tokens=1,2,*" %%a in ('%QUERY% 2^>nul') do if /i "%%a"=="JavaHome" set "HOME_JAVA=%%c"
echo     Version %VERSION%, %TIPO%
if not defined TIPO_VALOR goto sin_java_home
for /f "tokens=1,2,*" %%a in ('%QUERY% 2^>nul') do if /i "%%a"=="JavaHome" echo         JavaHome: %%c
echo         Tipo del valor: %TIPO_VALOR%
if not defined HOME_JAVA goto :eof
if /i "%TIPO_VALOR%"=="REG_EXPAND_SZ" goto tipo_no_valido
if /i "%TIPO_VALOR%"=="REG_DWORD" goto tipo_no_valido
if /i "%TIPO_VALOR%"=="REG_BINARY" goto tipo_binario
set "JAVAW=%HOME_JAVA%\bin\javaw.exe"
if "%TIPO%"=="JDK" set "JAVAW=%HOME_JAVA%\jre\bin\javaw.exe"
if not exist "%JAVAW%" goto sin_javaw_aqui
set /a UTILES+=1
echo         javaw.exe: encontrado
echo         %JAVAW%
goto :eof
:sin_javaw_aqui
echo         javaw.exe: NO ENCONTRADO
echo         %JAVAW%
goto :eof
:sin_java_home
echo         JavaHome: NO EXISTE; Vendro descarta esta version
goto :eof
:tipo_no_valido
echo         Vendro no acepta un JavaHome de tipo %TIPO_VALOR%: descarta esta version
goto :eof
:tipo_binario
echo         JavaHome de tipo REG_BINARY, en hexadecimal: no se comprueba javaw.exe
goto :eof

rem :otra "SUBCLAVE DE SOFTWARE" VISTA -- una clave que Vendro no lee: solo si existe.
:otra
set "OPCION="
if not "%~2"=="una" set "OPCION=/reg:%~2"
reg query "HKLM\SOFTWARE\%~1" %OPCION% >nul 2>&1
if errorlevel 1 goto :eof
set /a OTRAS+=1
if "%~2"=="una" echo   HKLM\SOFTWARE\%~1
if not "%~2"=="una" echo   HKLM\SOFTWARE\%~1   [vista de %~2 bits]
reg query "HKLM\SOFTWARE\%~1" /s %OPCION%
goto :eof

rem :opciones "FICHERO"
:opciones
set /a OPCIONES+=1
echo %~1
echo Tamano: %~z1 bytes. Contenido:
echo ----------
type "%~1"
echo.
echo ----------
goto :eof

rem :carpeta "CARPETA" -- su lista, o que no existe.
:carpeta
if not exist "%~1\" echo No existe la carpeta.
if exist "%~1\" dir "%~1"
echo.
goto :eof

rem :valor "CLAVE" NOMBRE -- un valor del Registro de Windows, o que no esta definido.
:valor
set "VALOR_VISTO="
for /f "tokens=1,2,*" %%a in ('reg query "%~1" /v %2 2^>nul') do if /i "%%a"=="%~2" set "VALOR_VISTO=1"
if not defined VALOR_VISTO echo   no definida
for /f "tokens=1,2,*" %%a in ('reg query "%~1" /v %2 2^>nul') do if /i "%%a"=="%~2" echo   %%a = %%c
goto :eof

rem :log "FICHERO" -- su final. Se cuentan las lineas no vacias y se salta ese numero
rem menos 40; como skip cuenta tambien las vacias, salen al menos 40.
:log
if not exist "%~1" echo No hay pelmorin.log en la carpeta: el log de depuracion no se ha activado aqui.
if not exist "%~1" goto :eof
echo %~1
echo Tamano: %~z1 bytes. Su final, sin las lineas vacias; al menos las 40 ultimas:
echo ----------
set /a LINEAS=0
for /f "usebackq delims=" %%l in ("%~1") do set /a LINEAS+=1
set /a SALTAR=LINEAS-40
if %SALTAR% LEQ 0 for /f "usebackq delims=" %%l in ("%~1") do echo.%%l
if %SALTAR% GTR 0 for /f "usebackq skip=%SALTAR% delims=" %%l in ("%~1") do echo.%%l
echo ----------
goto :eof

rem :programa "NOMBRE" "PID" -- una linea de tasklist.
:programa
set /a PROGRAMAS+=1
if /i "%~1"=="Vendro.exe" set "VENDRO_PID=%VENDRO_PID% %~2"
if /i "%~1"=="javaw.exe" set "JAVAW_PID=%JAVAW_PID% %~2"
goto :eof

rem :en_marcha NOMBRE "PIDS"
:en_marcha
if "%PROGRAMAS%"=="0" echo %1: no se sabe; tasklist no ha dado la lista de programas
if "%PROGRAMAS%"=="0" goto :eof
if "%~2"=="" echo %1: no esta en marcha
if not "%~2"=="" echo %1: en marcha, PID%~2
goto :eof
