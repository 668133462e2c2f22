<html>
<head>
<script language="VBScript" runat="server">
Function Twice(x)
  Twice = x * 2 ' doubles
End Function
</script>
<script language='vbscript'>
  Dim notServer
</script>
<script language="javascript">
  var x = "<%= Request("x") %>";
  if (a < b && c > d) { x = 1; }
</script>
<script language=vb>Dim x</script>
<script type="text/vbscript" language = "VB" >
  Dim y
</script >
</script>
<script
  language="vbscript">
  Dim spanning
</script>
<script language="vbscript"><% Dim inner %></script>
<script language="jscript" src="a.js"></script><script language=vbscript>Dim b
End If
</script>
<scripts language=vbscript>Dim z</scripts>
<script	language	=	"vbscript"	>Dim t</script>
<script language="vbscript>Dim unterminated
<script language=vbscript">Dim q</script>
<% If x Then %><script language="vbscript">Dim w</script><% End If %>
</head>
<body onload="<% Response.Write "go()" %>">
<script>alert("plain")</script>
</body>
</html>
<SCRIPT LANGUAGE=VBScript RUNAT=Server>
  Dim s : s = "</SCRIPT> inside a string"
  ' </script> inside a comment
Sub Hello()
  Response.Write "hi"
End Sub</SCRIPT><p>after</p>
